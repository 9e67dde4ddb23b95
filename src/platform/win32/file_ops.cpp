#include "platform/file_ops.h"

#include <windows.h>

#include <cerrno>

#include "disk_file.h"
#include "platform/filesystem.h"
#include "text/content_hash.h"

namespace trilo {

namespace {

// CopyFileA leaves errno alone. The runtime library sets it from the
// Windows code when its own file functions fail; do the same, with its
// table, so that the log's errno describes this copy and not an older call.
int ErrnoFor(DWORD code) {
  switch (code) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NO_MORE_FILES:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: return ENOENT;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_ACCESS_DENIED:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_CANNOT_MAKE:
    case ERROR_FAIL_I24:
    case ERROR_DRIVE_LOCKED:
    case ERROR_SEEK_ON_DEVICE:
    case ERROR_NOT_LOCKED:
    case ERROR_LOCK_FAILED: return EACCES;
    case ERROR_INVALID_HANDLE:
    case ERROR_INVALID_TARGET_HANDLE:
    case ERROR_DIRECT_ACCESS_HANDLE: return EBADF;
    case ERROR_ARENA_TRASHED:
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_INVALID_BLOCK:
    case ERROR_NOT_ENOUGH_QUOTA: return ENOMEM;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_BROKEN_PIPE: return EPIPE;
    case ERROR_DISK_FULL: return ENOSPC;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    default:
      // The write-protect and sharing group (19 to 36) is access denied.
      if (code >= ERROR_WRITE_PROTECT && code <= ERROR_SHARING_BUFFER_EXCEEDED) return EACCES;
      return EINVAL;
  }
}

}  // namespace

CopyOutcome CopyFileReplacing(const std::string& from, const std::string& to) {
  CopyOutcome out;
  // CopyFileA would read a named pipe or a device until it ends, which may
  // be never: only files are copied, from and to.
  if (NamesDevice(from) || NamesDevice(to)) {
    out.lastError = ERROR_ACCESS_DENIED;
    out.errnoValue = ErrnoFor(out.lastError);
    return out;
  }
  SetLastError(ERROR_SUCCESS);
  out.ok = CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
  if (!out.ok) {
    // Taken at once: nothing else may run between the copy and this.
    out.lastError = GetLastError();
    out.errnoValue = ErrnoFor(out.lastError);
  }
  return out;
}

CopyOutcome CopyFileReplacing(const std::string& from, const std::string& to,
                              const std::function<bool(const CopiedContent*)>& announce) {
  if (announce) {
    // CopyFileA reads the file itself: the content is hashed beforehand, and
    // told unknown when that read fails (the copy then most likely fails too).
    ContentHash hash;
    const bool known = !NamesDevice(from) && HashWholeFile(from, hash);
    // Nothing there: the copy fails without anything to announce.
    if (!known && GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES) return CopyFileReplacing(from, to);
    const CopiedContent content{hash.Size(), hash.Value()};
    if (!announce(known ? &content : nullptr)) {
      CopyOutcome stopped;
      stopped.stopped = true;
      return stopped;
    }
  }
  return CopyFileReplacing(from, to);
}

CreateFolderResult CreateFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return CreateFolderResult::Created;
  DWORD err = GetLastError();
  if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS) return CreateFolderResult::AlreadyExists;
  // A drive root or a write-protected medium may answer "access denied"
  // for a name that is there: it still counts as existing.
  if (!path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
    return CreateFolderResult::AlreadyExists;
  return CreateFolderResult::Failed;
}

}  // namespace trilo
