#include "platform/profile.h"

#include "platform/common/ini_reader.h"
#include "platform/posix/path_map.h"
#include "platform/posix/read_file.h"

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
