#include "platform/status.h"

#include <errno.h>
#include <locale.h>
#include <string.h>

namespace trilo {

namespace {

// The code Windows gives for the failure that set `err`, so that a copy-log
// line and every test of a Status read the same on every system.
unsigned long WindowsCodeFor(int err) {
  switch (err) {
    case 0: return 0;
    case ENOENT: return 2;    // ERROR_FILE_NOT_FOUND
    case ENOTDIR: return 3;   // ERROR_PATH_NOT_FOUND
    case EACCES:
    case EPERM:
    case EISDIR: return 5;    // ERROR_ACCESS_DENIED
    case EROFS: return 19;    // ERROR_WRITE_PROTECT
    case ETXTBSY:
    case EBUSY: return 32;    // ERROR_SHARING_VIOLATION
    case EWOULDBLOCK: return 33;  // ERROR_LOCK_VIOLATION: a lock held elsewhere
    case EMFILE:
    case ENFILE: return 4;    // ERROR_TOO_MANY_OPEN_FILES
    case ENOMEM: return 8;    // ERROR_NOT_ENOUGH_MEMORY
    case EXDEV: return 17;    // ERROR_NOT_SAME_DEVICE
    case EEXIST: return 80;   // ERROR_FILE_EXISTS
    case EINVAL: return 87;   // ERROR_INVALID_PARAMETER
    case ENOSPC:
    case EDQUOT: return 112;  // ERROR_DISK_FULL
    case ENOTEMPTY: return 145;  // ERROR_DIR_NOT_EMPTY
    case ENAMETOOLONG: return 206;  // ERROR_FILENAME_EXCED_RANGE
    case EFBIG: return 223;   // ERROR_FILE_TOO_LARGE
    case EIO: return 1117;    // ERROR_IO_DEVICE
    case ELOOP: return 1921;  // ERROR_CANT_RESOLVE_FILENAME
    case EILSEQ: return 1113;  // ERROR_NO_UNICODE_TRANSLATION: a name that is no text in the code page
    default: return 31;       // ERROR_GEN_FAILURE
  }
}

// The C library's sentence in the "C" locale: plain ASCII, which every code
// page holds, whatever language the terminal speaks.
std::string ReasonFor(int err) {
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c ? strerror_l(err, c) : strerror(err);
}

}  // namespace

Status SystemError(const std::string& path, long code, Status::Phase phase) {
  const int err = static_cast<int>(code);
  return Status::Failure(path, err, WindowsCodeFor(err), ReasonFor(err), phase);
}

Status LastSystemError(const std::string& path, Status::Phase phase) { return SystemError(path, errno, phase); }

}  // namespace trilo
