#include "platform/filesystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "path_map.h"

namespace trilo {

std::string GetCurrentFolder() { return FromNativePath(NativeCurrentFolder()); }

bool SetCurrentFolder(const std::string& path) {
  return chdir(ToNativePath(path).c_str()) == 0;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return stat(ToNativePath(path).c_str(), &st) == 0;
}

FileStatus GetFileStatus(const std::string& path) {
  FileStatus status;
  struct stat st;
  if (stat(ToNativePath(path).c_str(), &st) != 0) return status;
  status.exists = true;
  status.folder = S_ISDIR(st.st_mode);
  status.size = status.folder ? 0 : static_cast<unsigned long long>(st.st_size);
  return status;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  const std::string native = ToNativePath(path);
  std::FILE* file = std::fopen(native.c_str(), mode);
  if (file && mode[0] != 'r') NoteCreated(native);
  return file;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  const std::string target = ToNativePath(to);
  if (std::rename(ToNativePath(from).c_str(), target.c_str()) != 0) return false;
  NoteCreated(target);
  return true;
}

bool RemoveFile(const std::string& path) { return unlink(ToNativePath(path).c_str()) == 0; }

}  // namespace trilo
