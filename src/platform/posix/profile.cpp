#include "platform/profile.h"

#include <cstdio>

#include "platform/common/ini_reader.h"
#include "platform/filesystem.h"

namespace trilo {

namespace {

std::string Slurp(const std::string& path) {
  std::string bytes;
  std::FILE* f = OpenFile(path, "rb");
  if (!f) return bytes;
  char buf[8192];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  std::fclose(f);
  return bytes;
}

}  // namespace

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& path, size_t bufferSize) {
  return IniText(Slurp(path)).GetString(section, key, defaultValue, bufferSize);
}

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& path) {
  return IniText(Slurp(path)).GetInt(section, key, defaultValue);
}

}  // namespace trilo
