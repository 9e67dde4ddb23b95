#include "platform/file_ops.h"

#include <windows.h>

#include "disk_file.h"
#include "platform/filesystem.h"
#include "text/content_hash.h"

namespace trilo {

Status CopyFileReplacing(const std::string& from, const std::string& to) {
  // CopyFileA would read a named pipe or a device until it ends, which may
  // be never: only files are copied, from and to.
  if (NamesDevice(from) || NamesDevice(to)) return SystemError(NamesDevice(from) ? from : to, ERROR_ACCESS_DENIED);
  SetLastError(ERROR_SUCCESS);
  if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return Status();
  // Taken at once: nothing else may run between the copy and this.
  return LastSystemError(to);
}

Status CopyFileReplacing(const std::string& from, const std::string& to, const CopyAnnouncement& announce) {
  if (announce) {
    // CopyFileA reads the file itself: the content is hashed beforehand, and
    // told unknown when that read fails (the copy then most likely fails too).
    ContentHash hash;
    const bool known = !NamesDevice(from) && HashWholeFile(from, hash);
    // Nothing there: the copy fails without anything to announce.
    if (!known && GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES) return CopyFileReplacing(from, to);
    const CopiedContent content{hash.Size(), hash.Value()};
    const Status announced = announce(known ? &content : nullptr);
    if (!announced) return announced;
  }
  return CopyFileReplacing(from, to);
}

Status CreateFolder(const std::string& path, bool* existed) {
  if (existed) *existed = false;
  if (CreateDirectoryA(path.c_str(), nullptr)) return Status();
  const DWORD err = GetLastError();
  // A drive root or a write-protected medium may answer "access denied"
  // for a name that is there: it still counts as existing.
  if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS ||
      (!path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)) {
    if (existed) *existed = true;
    return Status();
  }
  return SystemError(path, static_cast<long>(err), Status::Phase::Create);
}

}  // namespace trilo
