#include "platform/profile.h"

#include "formats/ini_reader.h"
#include "path_map.h"
#include "read_file.h"

namespace trilo {

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& path, size_t bufferSize) {
  return IniText(ReadNativeFile(ToNativePath(path))).GetString(section, key, defaultValue, bufferSize);
}

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& path) {
  return IniText(ReadNativeFile(ToNativePath(path))).GetInt(section, key, defaultValue);
}

}  // namespace trilo
