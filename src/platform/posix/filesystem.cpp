#include "platform/filesystem.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "code_page_text.h"
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

std::FILE* OpenFile(const std::string& path, const char* mode) {
  const std::string native = ToNativePath(path);
  std::FILE* file = std::fopen(native.c_str(), mode);
  if (file && mode[0] != 'r') NoteCreated(native);
  return file;
}

bool ReadFolder(const std::string& path, std::vector<FolderEntry>& entries) {
  entries.clear();
  const std::string native = ToNativePath(path);
  DIR* dir = native.empty() ? nullptr : opendir(native.c_str());
  if (!dir) return false;
  while (dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    FolderEntry entry;
    if (name == "." || name == ".." || !Utf8ToCodePage(name, entry.name)) continue;
    struct stat st;
    if (e->d_type == DT_DIR) entry.isFolder = true;
    else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK)
      entry.isFolder = stat((native + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    entries.push_back(entry);
  }
  closedir(dir);
  return true;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  const std::string target = ToNativePath(to);
  if (std::rename(ToNativePath(from).c_str(), target.c_str()) != 0) return false;
  NoteCreated(target);
  return true;
}

bool RemoveFile(const std::string& path) { return unlink(ToNativePath(path).c_str()) == 0; }

}  // namespace trilo
