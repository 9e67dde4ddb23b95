#pragma once
#include <string>

namespace trilo {

/// An INI reader that answers as the Windows profile functions do (as Wine
/// implements them): the first section whose name matches (without regard to
/// case) is the only one searched, and in it the first key that matches;
/// names are compared after blanks around them are removed (a section's name
/// also loses those inside its brackets); a value loses the
/// blanks around it and one pair of enclosing quotes; a line without "=" is a
/// key without a value, which reads as missing. Portable: used on POSIX, and
/// compared with the real functions under Wine by the tests.
class IniText {
 public:
  explicit IniText(const std::string& bytes) : bytes_(bytes) {}

  /// The value as GetPrivateProfileStringA returns it into a buffer of
  /// `bufferSize` bytes.
  std::string GetString(const std::string& section, const std::string& key, const std::string& defaultValue,
                        size_t bufferSize) const;
  /// The value as GetPrivateProfileIntA returns it.
  int GetInt(const std::string& section, const std::string& key, int defaultValue) const;

 private:
  /// Finds the raw value; false when the section or key is missing or the
  /// key has no "=".
  bool Find(const std::string& section, const std::string& key, std::string& value) const;

  std::string bytes_;
};

/// The leading number of a text as the profile-integer reader takes it:
/// blanks skipped, an optional sign, "0x", "0o" or "0b" for bases 16, 8 and 2.
int ProfileTextToInt(const std::string& text);

}  // namespace trilo
