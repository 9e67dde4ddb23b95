#include "platform/filesystem.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "disk_file.h"
#include "platform/system_info.h"
#include "text/code_page.h"

namespace trilo {

std::string GetCurrentFolder() {
  DWORD need = GetCurrentDirectoryA(0, nullptr);
  if (need == 0) return std::string();
  std::string buf(need, '\0');
  DWORD got = GetCurrentDirectoryA(need, &buf[0]);
  buf.resize(got);
  return buf;
}

Status SetCurrentFolder(const std::string& path) {
  return SetCurrentDirectoryA(path.c_str()) ? Status() : LastSystemError(path);
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileStatus GetFileStatus(const std::string& path) {
  FileStatus status;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return status;
  status.exists = true;
  status.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (!status.folder) status.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return status;
}

Status OpenFile(const std::string& path, const char* mode, std::FILE*& file) {
  SetLastError(ERROR_SUCCESS);
  file = std::fopen(path.c_str(), mode);
  if (!file) {
    // The runtime library keeps the system's code for its failures.
    const DWORD code = GetLastError();
    return SystemError(path, code ? code : ERROR_FILE_NOT_FOUND, Status::Phase::Open);
  }
  // A pipe or a device opens like a file, and its reads may never end.
  if (!IsDiskFile(file)) {
    std::fclose(file);
    file = nullptr;
    return SystemError(path, ERROR_ACCESS_DENIED, Status::Phase::Open);
  }
  return Status();
}

Status ReadFolder(const std::string& path, std::vector<FolderEntry>& entries) {
  entries.clear();
  // A trail byte 0x5C at the end is no separator.
  const size_t last = FindLastChar(path, '\\', ActiveCodePage());
  const bool separated = !path.empty() && (last + 1 == path.size() || path.back() == '/');
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((path + (separated ? "*" : "\\*")).c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return LastSystemError(path, Status::Phase::Open);
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return Status();
}

Status RenameReplacing(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return Status();
  return LastSystemError(to);
}

Status LinkFile(const std::string& existing, const std::string& to) {
  return CreateHardLinkA(to.c_str(), existing.c_str(), nullptr) ? Status() : LastSystemError(to);
}

Status RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) ? Status() : LastSystemError(path); }

bool SameFile(const std::string& a, const std::string& b) {
  // Opened for nothing but their identity, shared every way: a file in use
  // still answers.
  auto open = [](const std::string& path) {
    return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  };
  HANDLE ha = open(a);
  if (ha == INVALID_HANDLE_VALUE) return false;
  HANDLE hb = open(b);
  bool same = false;
  if (hb != INVALID_HANDLE_VALUE) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    same = GetFileInformationByHandle(ha, &ia) && GetFileInformationByHandle(hb, &ib) &&
           ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
    CloseHandle(hb);
  }
  CloseHandle(ha);
  return same;
}

std::string ActualName(const std::string& path) {
  // A wildcard would find some other file.
  if (path.find_first_of("*?") != std::string::npos) return path;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return path;
  FindClose(find);
  const size_t slash = path.find_last_of("\\/:");
  return path.substr(0, slash == std::string::npos ? 0 : slash + 1) + data.cFileName;
}

Status RemoveFolder(const std::string& path) {
  return RemoveDirectoryA(path.c_str()) ? Status() : LastSystemError(path);
}

}  // namespace trilo
