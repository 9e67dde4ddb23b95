#include "platform/profile.h"

#include <windows.h>

#include <vector>

namespace trilo {

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& path, size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  std::vector<char> buf(bufferSize, '\0');
  DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buf.data(),
                                     static_cast<DWORD>(bufferSize), path.c_str());
  return std::string(buf.data(), n);
}

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& path) {
  return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path.c_str()));
}

}  // namespace trilo
