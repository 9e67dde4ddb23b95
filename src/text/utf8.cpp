#include "text/utf8.h"

namespace trilo {

Utf8Char DecodeUtf8(const std::string& text, size_t at, BadBytes bad) {
  const unsigned char b = static_cast<unsigned char>(text[at]);
  if (b < 0x80) return {b, 1};
  size_t length = 0;
  uint32_t code = 0, least = 0;
  if (b >= 0xC2 && b <= 0xDF) length = 2, code = b & 0x1F, least = 0x80;
  else if (b >= 0xE0 && b <= 0xEF) length = 3, code = b & 0x0F, least = 0x800;
  else if (b >= 0xF0 && b <= 0xF4) length = 4, code = b & 0x07, least = 0x10000;
  bool ok = length != 0 && at + length <= text.size();
  for (size_t k = 1; ok && k < length; ++k) {
    const unsigned char c = static_cast<unsigned char>(text[at + k]);
    ok = (c & 0xC0) == 0x80;
    code = code << 6 | (c & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are no text.
  if (ok && code >= least && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) return {code, length};
  return {bad == BadBytes::Replace ? 0xFFFDu : kBadByte + b, 1};
}

int CharColumns(uint32_t c) {
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                    (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
  return wide ? 2 : 1;
}

size_t TextColumns(const std::string& utf8) {
  size_t columns = 0;
  for (size_t i = 0; i < utf8.size();) {
    const Utf8Char c = DecodeUtf8(utf8, i, BadBytes::Replace);
    columns += static_cast<size_t>(CharColumns(c.code));
    i += c.length;
  }
  return columns;
}

}  // namespace trilo
