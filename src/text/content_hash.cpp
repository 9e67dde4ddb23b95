#include "text/content_hash.h"

namespace trilo {

void ContentHash::Add(const char* bytes, size_t count) {
  uint64_t h = value_;
  for (size_t i = 0; i < count; ++i) h = (h ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
  value_ = h;
  size_ += count;
}

std::string HashText(uint64_t value) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) text[i] = kDigits[value & 15];
  return text;
}

bool ParseHashText(const std::string& text, uint64_t& value) {
  if (text.size() != 16) return false;
  uint64_t v = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    v = (v << 4) | static_cast<uint64_t>(digit);
  }
  value = v;
  return true;
}

}  // namespace trilo
