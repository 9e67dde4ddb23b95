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

Status SetCurrentFolder(const std::string& path) {
  return chdir(ToNativePath(path).c_str()) == 0 ? Status() : LastSystemError(path);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return stat(ToNativePath(path).c_str(), &st) == 0;
}

FileStatus GetFileStatus(const std::string& path) {
  FileStatus status;
  std::string native;
  // A name the lookup found missing is not asked for again.
  bool missing = false;
  if (!ExactNativePath(path, native)) return status;
  native = ResolveNativePath(native, &missing);
  struct stat st;
  if (missing || stat(native.c_str(), &st) != 0) return status;
  status.exists = true;
  status.folder = S_ISDIR(st.st_mode);
  status.special = !status.folder && !S_ISREG(st.st_mode);
  status.size = status.folder ? 0 : static_cast<unsigned long long>(st.st_size);
  return status;
}

Status OpenFile(const std::string& path, const char* mode, std::FILE*& file) {
  file = nullptr;
  int flags = 0;
  switch (mode[0]) {
    case 'r': flags = O_RDONLY; break;
    case 'w': flags = O_WRONLY | O_CREAT | O_TRUNC; break;
    case 'a': flags = O_WRONLY | O_CREAT | O_APPEND; break;
    default: return SystemError(path, EINVAL, Status::Phase::Open);
  }
  for (const char* m = mode + 1; *m; ++m)
    if (*m == '+') flags = (flags & ~(O_RDONLY | O_WRONLY)) | O_RDWR;
  const std::string native = ToNativePath(path);
  const int fd = OpenRegularFile(native, flags, 0666);
  if (fd < 0) return LastSystemError(path, Status::Phase::Open);
  file = fdopen(fd, mode);
  if (!file) {
    const Status failed = LastSystemError(path, Status::Phase::Open);
    close(fd);
    return failed;
  }
  if (mode[0] != 'r') NoteCreated(native);
  return Status();
}

Status ReadFolder(const std::string& path, std::vector<FolderEntry>& entries) {
  entries.clear();
  const std::string native = ToNativePath(path);
  if (native.empty()) return SystemError(path, ENOENT, Status::Phase::Open);
  DIR* dir = opendir(native.c_str());
  if (!dir) return LastSystemError(path, Status::Phase::Open);
  while (dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    FolderEntry entry;
    if (name == "." || name == ".." || !Utf8ToCodePage(name, entry.name)) continue;
    struct stat st;
    if (e->d_type == DT_DIR) {
      entry.isFolder = true;
    } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      const std::string full = native + "/" + name;
      entry.isLink = lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
      entry.isFolder = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entries.push_back(entry);
  }
  closedir(dir);
  return Status();
}

Status RenameReplacing(const std::string& from, const std::string& to) {
  const std::string target = ToNativePath(to);
  const std::string source = ToNativePath(from);
  if (std::rename(source.c_str(), target.c_str()) != 0) return LastSystemError(to);
  NoteRemoved(source);
  NoteCreated(target);
  return Status();
}

Status LinkFile(const std::string& existing, const std::string& to) {
  const std::string target = ToNativePath(to);
  if (link(ToNativePath(existing).c_str(), target.c_str()) != 0) return LastSystemError(to);
  NoteCreated(target);
  return Status();
}

Status RemoveFile(const std::string& path) {
  const std::string native = ToNativePath(path);
  if (unlink(native.c_str()) != 0) return LastSystemError(path);
  NoteRemoved(native);
  return Status();
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

Status RemoveFolder(const std::string& path) {
  const std::string native = ToNativePath(path);
  if (rmdir(native.c_str()) == 0) {
    NoteRemoved(native);
    return Status();
  }
  // Some systems say EEXIST for a folder that is not empty.
  return SystemError(path, errno == EEXIST ? ENOTEMPTY : errno);
}

}  // namespace trilo
