#include "platform/exclusive_file.h"

namespace trilo {

bool ExclusiveFile::ReadAll(std::string& bytes) {
  bytes.clear();
  if (!file_) return false;
  char buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, file_)) > 0) bytes.append(buf, n);
  return std::ferror(file_) == 0;
}

void ExclusiveFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  device_ = inode_ = 0;
}

}  // namespace trilo
