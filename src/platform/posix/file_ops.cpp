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

// Windows error codes the copy picks itself, where the errno alone would
// give another one.
constexpr unsigned long kFileNotFound = 2;
constexpr unsigned long kPathNotFound = 3;
constexpr unsigned long kSharingViolation = 32;

// A copy's failure: errno's reason, with the code Windows gives for it
// unless the copy knows better.
Status Failure(const std::string& path, int err, unsigned long windowsCode = 0) {
  const Status failed = SystemError(path, err);
  return windowsCode ? Status::Failure(path, err, windowsCode, failed.Reason()) : failed;
}

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
    const ssize_t r = ReadSome(in, buf, sizeof buf);
    if (r <= 0) return r == 0 ? 0 : errno;
    if (const int err = WriteAll(out, buf, static_cast<size_t>(r))) return err;
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
    const ssize_t n = ReadSome(in, &held[got], held.size() - got);
    if (n < 0) return errno;
    if (n == 0) break;
    got += static_cast<size_t>(n);
    if (toEnd && got == held.size()) held.resize(held.size() * 2);
  }
  held.resize(got);
  return 0;
}

int HashRest(int in, ContentHash& hash) {
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ReadSome(in, buf, sizeof buf);
    if (n <= 0) return n == 0 ? 0 : errno;
    hash.Add(buf, static_cast<size_t>(n));
  }
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

// One copy under way: the open source, what was read of it, the destination.
struct Copy {
  std::string from, to;
  std::string src, dst;  // the system's paths
  int in = -1, out = -1;
  struct stat srcStat = {}, dstStat = {};
  std::string held;  // the source's bytes, when a small file was announced
  bool fromHeld = false;
  bool created = true;
  bool looked = false;  // dst is the destination as LookAtTo found it

  ~Copy() {
    if (out >= 0) close(out);
    if (in >= 0) close(in);
  }

  Status OpenFrom() {
    in = OpenSource(from, src, &srcStat);
    if (in >= 0) return Status();
    const int err = errno;
    return Failure(from, err, err == ENOENT ? MissingCode(src) : 0);
  }

  // What is announced is read once: a small file is then written from
  // memory, a large one hashed and copied by the kernel after.
  Status Read(CopiedContent& content) {
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
    content = {hash.Size(), hash.Value()};
    return err ? Failure(from, err) : Status();
  }

  // The destination, looked at once: whether the copy makes a new file,
  // replaces one (told in `notice`), or cannot change what is there and is
  // left to fail as it would. What it found is what OpenTo acts on.
  bool LookAtTo(CopyNotice& notice) {
    if (!ExactNativePath(to, dst)) return true;  // OpenTo fails on the name
    looked = true;
    if (!LookUpFile(dst, dst, dstStat)) return true;
    // A folder, a device, the source itself, a file we may not write: all
    // fail the same way whether announced or not.
    if (!S_ISREG(dstStat.st_mode) || (dstStat.st_dev == srcStat.st_dev && dstStat.st_ino == srcStat.st_ino))
      return false;
    // The system's own answer: the permission bits alone would be wrong for
    // root and for ACLs, and it knows a running program or a read-only volume.
    if (faccessat(AT_FDCWD, dst.c_str(), W_OK, AT_EACCESS) != 0) return false;
    // Named as found; as given should its spelling there not fit the code page.
    if (!FromNativePath(dst, notice.replaces)) notice.replaces = to;
    notice.moveAside = [this](const std::string& kept) { return MoveAside(kept); };
    return true;
  }

  Status MoveAside(const std::string& kept) {
    // The record's names are its own and new: looked up only when a folder
    // on the way is spelt otherwise than there.
    std::string target;
    if (!ExactNativePath(kept, target)) return Failure(kept, EILSEQ);
    if (rename(dst.c_str(), target.c_str()) != 0 &&
        (errno != ENOENT || rename(dst.c_str(), (target = ResolveNativePath(target)).c_str()) != 0))
      return LastSystemError(kept);
    // The name left behind is taken again at once by the new file: noting
    // that one brings the folder cache up to date with both changes.
    NoteCreated(target);
    return Status();
  }

  Status Announce(const CopyAnnouncement& announce) {
    CopiedContent content;
    if (Status read = Read(content); !read) return read;
    CopyNotice notice;
    notice.content = &content;
    return LookAtTo(notice) ? announce(notice) : Status();
  }

  // A new file needs no further care. An existing one is opened without
  // truncating: it may turn out to be the source under another name, which
  // must keep its content.
  Status OpenTo() {
    if (!looked && !ToNativePathAgain(to, dst)) return Failure(to, EILSEQ);
    out = open(dst.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, srcStat.st_mode & 0777);
    if (out < 0 && errno == EEXIST) {
      // What is there already may be a FIFO or a device: never wait on it.
      created = false;
      out = OpenRegularFile(dst, O_WRONLY, 0, &dstStat);
    }
    if (out < 0) {
      const int err = errno;
      // With O_CREAT, a missing name can only be a missing folder.
      return Failure(to, err, err == ENOENT ? kPathNotFound : 0);
    }
    if (created) NoteCreated(dst);
    // Windows refuses a copy onto itself with a sharing violation: the
    // source is open.
    if (!created && dstStat.st_dev == srcStat.st_dev && dstStat.st_ino == srcStat.st_ino)
      return Failure(to, EBUSY, kSharingViolation);
    return Status();
  }

  int WriteContent() {
    if (!created && ftruncate(out, 0) != 0) return errno;
    int err = fromHeld ? WriteAll(out, held.data(), held.size()) : CopyContent(in, out, srcStat.st_size);
    if (!err) {
      // The modification time travels with the content, as on Windows.
      struct timespec times[2];
      times[0].tv_sec = 0;
      times[0].tv_nsec = UTIME_OMIT;
      times[1] = srcStat.st_mtim;
      futimens(out, times);
    }
    if (close(out) != 0 && !err) err = errno;
    out = -1;
    return err;
  }
};

}  // namespace

Status CopyFileReplacing(const std::string& from, const std::string& to) {
  return CopyFileReplacing(from, to, nullptr);
}

Status CopyFileReplacing(const std::string& from, const std::string& to, const CopyAnnouncement& announce) {
  // Windows reports an empty name as a path that does not exist.
  if (from.empty() || to.empty()) return Failure(from.empty() ? from : to, ENOENT, kPathNotFound);
  Copy copy;
  copy.from = from;
  copy.to = to;
  Status status = copy.OpenFrom();
  if (status && announce) status = copy.Announce(announce);
  if (status) status = copy.OpenTo();
  if (!status) return status;
  if (const int err = copy.WriteContent()) {
    // Like Windows, leave no cut copy behind.
    if (unlink(copy.dst.c_str()) == 0) NoteRemoved(copy.dst);
    return Failure(to, err);
  }
  return Status();
}

Status CreateFolder(const std::string& path, bool* existed) {
  if (existed) *existed = false;
  const std::string native = ToNativePath(path);
  if (mkdir(native.c_str(), 0777) == 0) {
    NoteCreated(native);
    return Status();
  }
  const int err = errno;
  // Some systems check for write access or a read-only medium before they
  // look for the name; what exists is still "already there".
  struct stat st;
  if (err == EEXIST || (!path.empty() && stat(native.c_str(), &st) == 0)) {
    if (existed) *existed = true;
    return Status();
  }
  return SystemError(path, err, Status::Phase::Create);
}

}  // namespace trilo
