#pragma once
#include <string>

namespace trilo {

/// GetPrivateProfileStringA with a buffer of `bufferSize` bytes: section and
/// key compared without regard to case, blanks around names and values
/// removed, one pair of enclosing quotes stripped, the default when the
/// file, section or key is missing; the value is cut to bufferSize - 1.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& path,
                              size_t bufferSize = 1024);

/// GetPrivateProfileIntA: the leading decimal number of the value.
int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& path);

}  // namespace trilo
