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

/// The text of an INI file as the ANSI profile functions read it: a file
/// that starts with the UTF-16 LE mark (FF FE) is UTF-16, given in the code
/// page; any other file byte for byte, a UTF-8 mark included (Windows does
/// not skip it). Empty when the file cannot be read.
std::string ReadProfileText(const std::string& path);

/// UTF-16 LE bytes as text of the active code page, as the ANSI functions
/// give it: a character the code page lacks becomes "?", as do a broken
/// surrogate and an odd last byte.
std::string Utf16LeToCodePage(const std::string& bytes);

/// GetPrivateProfileIntA: the leading decimal number of the value.
int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& path);

}  // namespace trilo
