#include "platform/file_ops.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/posix/path_map.h"

namespace trilo {

namespace {

// The Windows error code a Windows user would see for the same failure.
unsigned long WindowsErrorFor(int err) {
  switch (err) {
    case 0: return 0;
    case ENOENT: return 2;    // ERROR_FILE_NOT_FOUND
    case ENOTDIR: return 3;   // ERROR_PATH_NOT_FOUND
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return 5;     // ERROR_ACCESS_DENIED
    case ETXTBSY:
    case EBUSY: return 32;    // ERROR_SHARING_VIOLATION
    case EEXIST: return 80;   // ERROR_FILE_EXISTS
    case ENOSPC:
    case EDQUOT: return 112;  // ERROR_DISK_FULL
    case ENAMETOOLONG: return 206;  // ERROR_FILENAME_EXCED_RANGE
    case EINVAL: return 87;   // ERROR_INVALID_PARAMETER
    default: return 31;       // ERROR_GEN_FAILURE
  }
}

}  // namespace

CopyOutcome CopyFileReplacing(const std::string& from, const std::string& to) {
  CopyOutcome out;
  auto fail = [&out](int err) {
    out.ok = false;
    out.errnoValue = err;
    out.lastError = WindowsErrorFor(err);
    return out;
  };
  if (from.empty() || to.empty()) return fail(ENOENT);
  const std::string src = ToNativePath(from);
  const std::string dst = ToNativePath(to);
  int in = open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return fail(errno);
  struct stat st;
  if (fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
    int err = S_ISDIR(st.st_mode) ? EACCES : errno;
    close(in);
    return fail(err);
  }
  int outFd = open(dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
  if (outFd < 0) {
    int err = errno;
    close(in);
    // A missing destination folder is a missing path, as Windows names it.
    return fail(err == ENOENT ? ENOTDIR : err);
  }
  int err = 0;
  for (;;) {
    ssize_t n = copy_file_range(in, nullptr, outFd, nullptr, 1 << 30, 0);
    if (n > 0) continue;
    if (n == 0) break;
    if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
      // Fall back to plain reads and writes.
      char buf[1 << 16];
      ssize_t r;
      while ((r = read(in, buf, sizeof buf)) > 0) {
        for (ssize_t done = 0; done < r;) {
          ssize_t w = write(outFd, buf + done, static_cast<size_t>(r - done));
          if (w < 0) { err = errno; break; }
          done += w;
        }
        if (err) break;
      }
      if (r < 0) err = errno;
      break;
    }
    err = errno;
    break;
  }
  if (!err) {
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(outFd, times);
  }
  if (close(outFd) != 0 && !err) err = errno;
  close(in);
  if (err) return fail(err);
  out.ok = true;
  return out;
}

CreateFolderResult CreateFolder(const std::string& path) {
  if (mkdir(ToNativePath(path).c_str(), 0777) == 0) return CreateFolderResult::Created;
  return errno == EEXIST ? CreateFolderResult::AlreadyExists : CreateFolderResult::Failed;
}

bool AppendLine(const std::string& path, const std::string& line) {
  std::FILE* f = std::fopen(ToNativePath(path).c_str(), "ab");
  if (!f) return false;
  bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size() && std::fwrite("\r\n", 1, 2, f) == 2;
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

}  // namespace trilo
