#include "platform/profile.h"

#include "platform/filesystem.h"

namespace trilo {

std::string ReadProfileText(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return std::string();
  if (bytes.compare(0, 2, "\xFF\xFE") == 0) return Utf16LeToCodePage(bytes.substr(2));
  return bytes;
}

}  // namespace trilo
