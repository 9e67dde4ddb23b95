#pragma once
#include <string>
#include <vector>

namespace trilo {

/// One section header or key line of an INI file, as the reader sees it.
/// Blank lines and comments are not listed.
struct IniLine {
  enum class Kind { Section, Key };
  Kind kind = Kind::Key;
  int number = 0;      ///< 1 for the first line; only LF counts as a line end here
  std::string name;    ///< the section's name inside its brackets, or the key without its blanks
  bool hasValue = false;  ///< a key line with "="
  std::string value;   ///< the key's value without its blanks, quotes kept
};

/// An INI reader that answers as the Windows profile functions do: the first
/// section whose name matches (without regard to case) is the only one
/// searched, and in it the first key that matches. A section's name ends at
/// the first "]" (a header without one runs to the end of its line) and
/// loses the blanks inside its brackets; a key's name and value lose the
/// blanks around them, the value also one pair of enclosing quotes. A line
/// that starts with ";" is a comment; a line without "=" is a key without a
/// value, which reads as missing; keys before the first header belong to no
/// section. Of the names asked for, only spaces around them go. The text is
/// taken as given: a UTF-8 mark is part of the first line, and a UTF-16 file
/// comes converted (ReadProfileText). Portable: used on POSIX and by the
/// checker everywhere, and compared with the real functions by the tests.
class IniText {
 public:
  explicit IniText(const std::string& bytes) : bytes_(bytes) {}

  /// The value as GetPrivateProfileStringA returns it into a buffer of
  /// `bufferSize` bytes.
  std::string GetString(const std::string& section, const std::string& key, const std::string& defaultValue,
                        size_t bufferSize) const;
  /// The value as GetPrivateProfileIntA returns it.
  int GetInt(const std::string& section, const std::string& key, int defaultValue) const;

  /// Every section header and key line, in file order: what the lookups
  /// walk, for tools that report on the file line by line.
  std::vector<IniLine> Lines() const;
  /// The line whose value a lookup of the key returns; 0 when the lookup
  /// finds none (the section or key is missing, or the key has no "=").
  int LineOf(const std::string& section, const std::string& key) const;

 private:
  std::string bytes_;
};

/// The leading number of a text as the profile-integer reader takes it:
/// blanks skipped, an optional sign, "0x", "0o" or "0b" for bases 16, 8 and 2.
int ProfileTextToInt(const std::string& text);

}  // namespace trilo
