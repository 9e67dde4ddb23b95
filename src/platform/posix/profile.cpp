#include "platform/profile.h"

#include "formats/ini_reader.h"

namespace trilo {

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& path, size_t bufferSize) {
  return IniText(ReadProfileText(path)).GetString(section, key, defaultValue, bufferSize);
}

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& path) {
  return IniText(ReadProfileText(path)).GetInt(section, key, defaultValue);
}

}  // namespace trilo
