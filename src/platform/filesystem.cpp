#include "platform/filesystem.h"

namespace trilo {

FileRead ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return FileRead::OpenFailed;
  // Read straight into the string, which doubles as it fills.
  size_t used = 0;
  bytes.resize(1 << 16);
  size_t n;
  while ((n = std::fread(&bytes[used], 1, bytes.size() - used, file)) > 0) {
    used += n;
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
  }
  bytes.resize(used);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return failed ? FileRead::ReadFailed : FileRead::Done;
}

}  // namespace trilo
