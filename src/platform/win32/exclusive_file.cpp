#include "platform/exclusive_file.h"

#include <windows.h>
#include <share.h>

#include "disk_file.h"

namespace trilo {

Status ExclusiveFile::Open(const std::string& path) {
  Close();
  path_ = path;
  if (path.empty()) return SystemError(path, ERROR_PATH_NOT_FOUND, Status::Phase::Open);
  // Denying read and write sharing makes any other opening fail with a
  // sharing violation until this one is closed. A folder does not open.
  SetLastError(ERROR_SUCCESS);
  file_ = _fsopen(path.c_str(), "rb", _SH_DENYRW);
  if (!file_) {
    const DWORD code = GetLastError();
    return SystemError(path, code ? code : ERROR_ACCESS_DENIED, Status::Phase::Open);
  }
  // A named pipe or a device is no file to read lines from.
  if (!IsDiskFile(file_)) {
    Close();
    return SystemError(path, ERROR_ACCESS_DENIED, Status::Phase::Open);
  }
  return Status();
}

NewFileCheck CheckNewFile(const std::string& target, const ExclusiveFile& /*source*/) {
  if (target.empty() || target.back() == '\\' || target.back() == '/') return NewFileCheck::Folder;
  DWORD attrs = GetFileAttributesA(target.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) {
    DWORD err = GetLastError();
    // Missing: creating it will tell whether its folder exists.
    return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ? NewFileCheck::Creatable
                                                                      : NewFileCheck::NotWritable;
  }
  if (attrs & FILE_ATTRIBUTE_DIRECTORY) return NewFileCheck::Folder;
  // Tested by itself: where the flag is kept as permission bits (Wine run
  // by root) the open below would succeed on a read-only file.
  if (attrs & FILE_ATTRIBUTE_READONLY) return NewFileCheck::NotWritable;
  // The source is open without sharing, so naming it here, under any
  // spelling, ends in a sharing violation like any other file in use.
  HANDLE h = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND) return NewFileCheck::Creatable;
    return err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION ? NewFileCheck::InUse
                                                                         : NewFileCheck::NotWritable;
  }
  CloseHandle(h);
  return NewFileCheck::Creatable;
}

}  // namespace trilo
