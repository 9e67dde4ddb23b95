#pragma once
#include <cstdint>
#include <string>

// The shortcut (.lnk) file format as Windows reads it, written without the
// shell's help. Portable, so that its bytes can be checked on every platform.

namespace trilo {

/// UTF-8 text as UTF-16. A byte that does not start a well-formed sequence
/// becomes U+FFFD, as the system's own conversion does.
std::u16string Utf8ToUtf16(const std::string& text);

/// What one shortcut holds. Paths are full Windows paths ("C:\Game\...");
/// a string left empty is not written.
struct ShellLinkData {
  std::u16string targetPath;    ///< the local path of the target
  std::u16string description;
  std::u16string workingDir;
  std::u16string arguments;
  std::u16string iconLocation;
  int32_t iconIndex = 0;
  // What the target looked like when the shortcut was made.
  uint32_t fileAttributes = 0;
  uint64_t creationTime = 0;  ///< FILETIME: 100 ns units since 1601
  uint64_t accessTime = 0;
  uint64_t writeTime = 0;
  uint32_t fileSize = 0;
};

/// Longest string a shortcut can hold: its length is a 16-bit count.
constexpr size_t kMaxShellLinkString = 0xFFFF;

/// The bytes of a shortcut file: the header, the link info naming the
/// target as a local path on a fixed drive, the strings in UTF-16 and the
/// terminal block. False when a string is longer than kMaxShellLinkString.
bool BuildShellLink(const ShellLinkData& data, std::string& bytes);

}  // namespace trilo
