#include "platform/file_ops.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>


#include "path_map.h"
#include "read_file.h"
#include "text/content_hash.h"
#include "text/text_util.h"

namespace trilo {

namespace {

// Windows error codes, so that a copy-log line reads the same on every system.
constexpr unsigned long kFileNotFound = 2;
constexpr unsigned long kPathNotFound = 3;
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kSharingViolation = 32;

// The code Windows gives for the failure that set `err`.
unsigned long WindowsErrorFor(int err) {
  switch (err) {
    case 0: return 0;
    case ENOENT: return kFileNotFound;
    case ENOTDIR: return kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kAccessDenied;
    case EROFS: return 19;   // ERROR_WRITE_PROTECT
    case ETXTBSY:
    case EBUSY: return kSharingViolation;
    case EMFILE:
    case ENFILE: return 4;   // ERROR_TOO_MANY_OPEN_FILES
    case ENOMEM: return 8;   // ERROR_NOT_ENOUGH_MEMORY
    case EXDEV: return 17;   // ERROR_NOT_SAME_DEVICE
    case EEXIST: return 80;  // ERROR_FILE_EXISTS
    case EINVAL: return 87;  // ERROR_INVALID_PARAMETER
    case ENOSPC:
    case EDQUOT: return 112;  // ERROR_DISK_FULL
    case ENAMETOOLONG: return 206;  // ERROR_FILENAME_EXCED_RANGE
    case EFBIG: return 223;  // ERROR_FILE_TOO_LARGE
    case EIO: return 1117;   // ERROR_IO_DEVICE
    case ELOOP: return 1921;  // ERROR_CANT_RESOLVE_FILENAME
    case EILSEQ: return 1113;  // ERROR_NO_UNICODE_TRANSLATION: a name that is no text in the code page
    default: return 31;      // ERROR_GEN_FAILURE
  }
}

CopyOutcome Failure(int err, unsigned long windowsError) {
  CopyOutcome out;
  out.errnoValue = err;
  out.lastError = windowsError;
  return out;
}

CopyOutcome Failure(int err) { return Failure(err, WindowsErrorFor(err)); }

// Windows tells a missing file (2) from a missing folder on the way (3).
unsigned long MissingCode(const std::string& native) {
  size_t slash = native.find_last_of('/');
  if (slash == std::string::npos) return kFileNotFound;
  std::string folder = slash == 0 ? "/" : native.substr(0, slash);
  struct stat st;
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kFileNotFound : kPathNotFound;
}

// Copies what is left of `in` (`size` bytes as its status tells) to `out`;
// 0 or the errno of the failure.
int CopyContent(int in, int out, off_t size) {
#ifdef __linux__
  // The kernel's copy first: no round trip through user memory, and
  // reflinks on file systems that have them.
  off_t copied = 0;
  for (;;) {
    ssize_t n = copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
    if (n > 0) {
      copied += n;
      // All the status promised is there: no call just to hear "end".
      if (copied == size) return 0;
      continue;
    }
    // Some files (those of /proc among them) report 0 at once although they
    // hold data: read them the plain way.
    if (n == 0 && copied > 0) return 0;
    if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
      return errno;
    break;
  }
#else
  (void)size;
#endif
  char buf[1 << 16];
  for (;;) {
    ssize_t r = read(in, buf, sizeof buf);
    if (r == 0) return 0;
    if (r < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (ssize_t done = 0; done < r;) {
      ssize_t w = write(out, buf + done, static_cast<size_t>(r - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      done += w;
    }
  }
}

// Up to this size a copy that announces its content holds the file in memory.
constexpr off_t kHeldCopySize = 1 << 20;

// Reads what is left of `in`, `size` bytes as its status tells (fewer when
// it shrank meanwhile), into `held`; 0 or the errno of the failure. A size
// of 0 is read to its end: some files (those of /proc) hold data all the same.
int ReadHeld(int in, size_t size, std::string& held) {
  const bool toEnd = size == 0;
  held.resize(toEnd ? 4096 : size);
  size_t got = 0;
  while (got < held.size()) {
    const ssize_t n = read(in, &held[got], held.size() - got);
    if (n > 0 && toEnd && got + static_cast<size_t>(n) == held.size()) held.resize(held.size() * 2);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    got += static_cast<size_t>(n);
  }
  held.resize(got);
  return 0;
}

int HashRest(int in, ContentHash& hash) {
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = read(in, buf, sizeof buf);
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    hash.Add(buf, static_cast<size_t>(n));
  }
}

int WriteAll(int out, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t w = write(out, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(w);
  }
  return 0;
}

// Opens the source as written, and only when that fails looks for it
// without regard to case: an exact name costs one search. Only a regular
// file opens, without waiting: a FIFO or a device would hold the copy for
// ever.
int OpenSource(const std::string& from, std::string& native, struct stat* st) {
  if (!ExactNativePath(from, native)) {
    errno = EILSEQ;
    return -1;
  }
  int in = OpenRegularFile(native, O_RDONLY, 0, st);
  if (in >= 0 || errno != ENOENT) return in;
  native = ResolveNativePath(native);
  return OpenRegularFile(native, O_RDONLY, 0, st);
}

}  // namespace

CopyOutcome CopyFileReplacing(const std::string& from, const std::string& to) {
  return CopyFileReplacing(from, to, nullptr);
}

CopyOutcome CopyFileReplacing(const std::string& from, const std::string& to,
                              const std::function<bool(const CopiedContent*)>& announce) {
  // Windows reports an empty name as a path that does not exist.
  if (from.empty() || to.empty()) return Failure(ENOENT, kPathNotFound);
  std::string src;
  struct stat srcStat;
  int in = OpenSource(from, src, &srcStat);
  if (in < 0) {
    int err = errno;
    return err == ENOENT ? Failure(err, MissingCode(src)) : Failure(err);
  }

  // What is announced is read once: a small file is then written from
  // memory, a large one hashed and copied by the kernel after.
  std::string held;
  bool fromHeld = false;
  if (announce) {
    ContentHash hash;
    int err = 0;
    if (srcStat.st_size <= kHeldCopySize) {
      err = ReadHeld(in, static_cast<size_t>(srcStat.st_size), held);
      hash.Add(held);
      fromHeld = true;
    } else {
      err = HashRest(in, hash);
      if (!err && lseek(in, 0, SEEK_SET) != 0) err = errno;
      srcStat.st_size = static_cast<off_t>(hash.Size());
    }
    if (err) {
      close(in);
      return Failure(err);
    }
    const CopiedContent content{hash.Size(), hash.Value()};
    if (!announce(&content)) {
      close(in);
      CopyOutcome stopped;
      stopped.stopped = true;
      return stopped;
    }
  }

  // A new file needs no further care. An existing one is opened without
  // truncating: it may turn out to be the source under another name, which
  // must keep its content.
  std::string dst;
  if (!ToNativePathAgain(to, dst)) {
    close(in);
    return Failure(EILSEQ);
  }
  const mode_t mode = srcStat.st_mode & 0777;
  bool created = true;
  struct stat dstStat = {};
  int out = open(dst.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
  if (out < 0 && errno == EEXIST) {
    // What is there already may be a FIFO or a device: never wait on it.
    created = false;
    out = OpenRegularFile(dst, O_WRONLY, 0, &dstStat);
  }
  if (out < 0) {
    int err = errno;
    close(in);
    // With O_CREAT, a missing name can only be a missing folder.
    return err == ENOENT ? Failure(err, kPathNotFound) : Failure(err);
  }
  if (created) NoteCreated(dst);

  int err = 0;
  if (!created) {
    if (dstStat.st_dev == srcStat.st_dev && dstStat.st_ino == srcStat.st_ino) {
      // Windows refuses this with a sharing violation: the source is open.
      close(out);
      close(in);
      return Failure(EBUSY, kSharingViolation);
    }
    if (ftruncate(out, 0) != 0) err = errno;
  }
  if (!err) err = fromHeld ? WriteAll(out, held) : CopyContent(in, out, srcStat.st_size);
  if (!err) {
    // The modification time travels with the content, as on Windows.
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = srcStat.st_mtim;
    futimens(out, times);
  }
  if (close(out) != 0 && !err) err = errno;
  close(in);
  if (err) {
    // Like Windows, leave no cut copy behind.
    if (unlink(dst.c_str()) == 0) NoteRemoved(dst);
    return Failure(err);
  }
  CopyOutcome ok;
  ok.ok = true;
  return ok;
}

CreateFolderResult CreateFolder(const std::string& path) {
  const std::string native = ToNativePath(path);
  if (mkdir(native.c_str(), 0777) == 0) {
    NoteCreated(native);
    return CreateFolderResult::Created;
  }
  if (errno == EEXIST) return CreateFolderResult::AlreadyExists;
  // Some systems check for write access or a read-only medium before they
  // look for the name; what exists is still "already there".
  struct stat st;
  if (!path.empty() && stat(native.c_str(), &st) == 0) return CreateFolderResult::AlreadyExists;
  return CreateFolderResult::Failed;
}

}  // namespace trilo
