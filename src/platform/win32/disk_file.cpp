#include "disk_file.h"

#include <io.h>

namespace trilo {

bool IsDiskFile(HANDLE handle) { return GetFileType(handle) == FILE_TYPE_DISK; }

bool IsDiskFile(std::FILE* file) {
  return IsDiskFile(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

bool NamesDevice(const std::string& path) {
  // No access asked for: enough to tell the type, and a folder opens too.
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool device = !IsDiskFile(h);
  CloseHandle(h);
  return device;
}

}  // namespace trilo
