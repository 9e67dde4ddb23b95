#include "read_file.h"

#include <cstdio>

namespace trilo {

std::string ReadNativeFile(const std::string& nativePath) {
  std::string bytes;
  std::FILE* f = std::fopen(nativePath.c_str(), "rb");
  if (!f) return bytes;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  std::fclose(f);
  return bytes;
}

}  // namespace trilo
