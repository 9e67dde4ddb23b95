#include "platform/exclusive_file.h"

#include <cerrno>

namespace trilo {

Status ExclusiveFile::ReadAll(std::string& bytes) {
  bytes.clear();
  if (!file_) return Status::Failure(path_, EBADF, 6 /* invalid handle */, "the file is not open", Status::Phase::Read);
  char buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, file_)) > 0) bytes.append(buf, n);
  return std::ferror(file_) == 0 ? Status() : LastSystemError(path_, Status::Phase::Read);
}

void ExclusiveFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  device_ = inode_ = 0;
}

}  // namespace trilo
