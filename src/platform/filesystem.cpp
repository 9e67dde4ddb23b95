#include "platform/filesystem.h"

namespace trilo {

FileRead ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return FileRead::OpenFailed;
  char buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) bytes.append(buf, n);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return failed ? FileRead::ReadFailed : FileRead::Done;
}

}  // namespace trilo
