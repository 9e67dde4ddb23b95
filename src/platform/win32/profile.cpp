#include "platform/profile.h"

#include <windows.h>

#include <vector>

#include "disk_file.h"
#include "formats/ini_reader.h"

namespace trilo {

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& path, size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  // A pipe or a device reads as a missing file, without waiting on it.
  if (NamesDevice(path)) return IniText(std::string()).GetString(section, key, defaultValue, bufferSize);
  std::vector<char> buf(bufferSize, '\0');
  DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buf.data(),
                                     static_cast<DWORD>(bufferSize), path.c_str());
  return std::string(buf.data(), n);
}

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& path) {
  if (NamesDevice(path)) return defaultValue;
  return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path.c_str()));
}

}  // namespace trilo
