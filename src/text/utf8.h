#pragma once
#include <cstdint>
#include <string>

// UTF-8, read one character at a time: the system's names, the terminal and
// the shortcut's Unicode strings all speak it.

namespace trilo {

/// What decoding makes of a byte that starts no well-formed sequence (a
/// stray continuation byte, a sequence cut short, an overlong form, a
/// surrogate, a value past U+10FFFF). Each such byte is one step of its own.
enum class BadBytes {
  Replace,  ///< U+FFFD, as text is shown or converted
  Mark,     ///< kBadByte plus the byte: no character has it, and bytes stay apart
};

/// The value BadBytes::Mark adds the byte to: past every character.
constexpr uint32_t kBadByte = 0x110000;

/// One step through UTF-8 text: the character and how many bytes it took.
struct Utf8Char {
  uint32_t code;
  size_t length;
};

/// The character that starts at `at` (< text.size()).
Utf8Char DecodeUtf8(const std::string& text, size_t at, BadBytes bad);

/// How many columns a terminal gives the character: two for the wide ones
/// of East Asian scripts, one for the rest.
int CharColumns(uint32_t code);

/// The columns of UTF-8 text on a terminal, a bad byte counting one.
size_t TextColumns(const std::string& utf8);

}  // namespace trilo
