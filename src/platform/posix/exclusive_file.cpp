#include "platform/exclusive_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "path_map.h"
#include "read_file.h"

namespace trilo {

Status ExclusiveFile::Open(const std::string& path) {
  Close();
  path_ = path;
  if (path.empty()) return SystemError(path, ENOENT, Status::Phase::Open);
  // Only a regular file: a folder does not open on Windows either, and a
  // FIFO or a device would never end.
  struct stat st;
  int fd = OpenRegularFile(ToNativePath(path), O_RDONLY, 0, &st);
  if (fd < 0) return LastSystemError(path, Status::Phase::Open);
  file_ = fdopen(fd, "rb");
  if (!file_) {
    const Status failed = LastSystemError(path, Status::Phase::Open);
    close(fd);
    return failed;
  }
  device_ = static_cast<unsigned long long>(st.st_dev);
  inode_ = static_cast<unsigned long long>(st.st_ino);
  return Status();
}

NewFileCheck CheckNewFile(const std::string& target, const ExclusiveFile& source) {
  if (target.empty() || target.back() == '\\' || target.back() == '/') return NewFileCheck::Folder;
  const std::string native = ToNativePath(target);
  struct stat st;
  if (stat(native.c_str(), &st) != 0) {
    // Missing: creating it will tell whether its folder exists.
    return errno == ENOENT || errno == ENOTDIR ? NewFileCheck::Creatable : NewFileCheck::NotWritable;
  }
  if (S_ISDIR(st.st_mode)) return NewFileCheck::Folder;
  if (source.File() && static_cast<unsigned long long>(st.st_dev) == source.Device() &&
      static_cast<unsigned long long>(st.st_ino) == source.Inode())
    return NewFileCheck::SameFile;
  // Ask the system whether we may write it, without changing a byte: the
  // permission bits alone would be wrong for root and for ACLs.
  int fd = open(native.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno == ETXTBSY || errno == EBUSY ? NewFileCheck::InUse : NewFileCheck::NotWritable;
  close(fd);
  return NewFileCheck::Creatable;
}

}  // namespace trilo
