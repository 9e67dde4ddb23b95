#include "platform/filesystem.h"

#include <errno.h>
#include <fcntl.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "code_page_text.h"
#include "path_map.h"
#include "read_file.h"

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
  int flags = 0;
  switch (mode[0]) {
    case 'r': flags = O_RDONLY; break;
    case 'w': flags = O_WRONLY | O_CREAT | O_TRUNC; break;
    case 'a': flags = O_WRONLY | O_CREAT | O_APPEND; break;
    default: errno = EINVAL; return nullptr;
  }
  for (const char* m = mode + 1; *m; ++m)
    if (*m == '+') flags = (flags & ~(O_RDONLY | O_WRONLY)) | O_RDWR;
  const std::string native = ToNativePath(path);
  const int fd = OpenRegularFile(native, flags, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, mode);
  if (!file) close(fd);
  else if (mode[0] != 'r') NoteCreated(native);
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
