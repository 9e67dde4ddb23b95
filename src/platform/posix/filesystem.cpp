#include "platform/filesystem.h"

#include <dirent.h>
#include <errno.h>
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
  status.special = !status.folder && !S_ISREG(st.st_mode);
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
  const std::string source = ToNativePath(from);
  if (std::rename(source.c_str(), target.c_str()) != 0) return false;
  NoteRemoved(source);
  NoteCreated(target);
  return true;
}

bool RemoveFile(const std::string& path) {
  const std::string native = ToNativePath(path);
  if (unlink(native.c_str()) != 0) return false;
  NoteRemoved(native);
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(ToNativePath(a).c_str(), &sa) == 0 && stat(ToNativePath(b).c_str(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string ActualName(const std::string& path) {
  const std::string native = ToNativePath(path);
  struct stat st;
  return lstat(native.c_str(), &st) == 0 ? FromNativePath(native) : path;
}

RemoveFolderResult RemoveFolder(const std::string& path) {
  const std::string native = ToNativePath(path);
  if (rmdir(native.c_str()) == 0) {
    NoteRemoved(native);
    return RemoveFolderResult::Removed;
  }
  if (errno == ENOTEMPTY || errno == EEXIST) return RemoveFolderResult::NotEmpty;
  if (errno == ENOENT) return RemoveFolderResult::Missing;
  return RemoveFolderResult::Failed;
}

bool ListFolderEntries(const std::string& path, std::vector<FolderEntry>& entries) {
  entries.clear();
  const std::string native = ToNativePath(path);
  DIR* dir = opendir(native.empty() ? "." : native.c_str());
  if (!dir) return false;
  const std::string prefix = native.empty() || native.back() == '/' ? native : native + "/";
  while (dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    FolderEntry entry;
    entry.name = name;
    entry.folder = lstat((prefix + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    entries.push_back(entry);
  }
  closedir(dir);
  return true;
}

}  // namespace trilo
