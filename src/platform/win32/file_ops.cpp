#include "platform/file_ops.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>

namespace trilo {

CopyOutcome CopyFileReplacing(const std::string& from, const std::string& to) {
  CopyOutcome out;
  errno = 0;
  SetLastError(0);
  out.ok = CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
  if (!out.ok) {
    out.errnoValue = errno;
    out.lastError = GetLastError();
  }
  return out;
}

CreateFolderResult CreateFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return CreateFolderResult::Created;
  DWORD err = GetLastError();
  return err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS ? CreateFolderResult::AlreadyExists
                                                                 : CreateFolderResult::Failed;
}

bool AppendLine(const std::string& path, const std::string& line) {
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return false;
  bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size() && std::fwrite("\r\n", 1, 2, f) == 2;
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

}  // namespace trilo
