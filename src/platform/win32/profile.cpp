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

std::string Utf16LeToCodePage(const std::string& bytes) {
  std::wstring wide(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < wide.size(); ++i)
    wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  if (bytes.size() % 2) wide += L'?';
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), size, &text[0], n, nullptr, nullptr);
  return text;
}

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& path) {
  if (NamesDevice(path)) return defaultValue;
  return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path.c_str()));
}

}  // namespace trilo
