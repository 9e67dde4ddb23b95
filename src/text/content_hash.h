#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace trilo {

/// FNV-1a over 64 bits: a fingerprint of a file's bytes, enough to tell
/// whether a file is still the one the installer wrote. Fed in pieces, it
/// gives the same value as fed at once.
class ContentHash {
 public:
  void Add(const char* bytes, size_t count);
  void Add(const std::string& bytes) { Add(bytes.data(), bytes.size()); }
  uint64_t Value() const { return value_; }
  /// How many bytes went in.
  unsigned long long Size() const { return size_; }

 private:
  uint64_t value_ = 14695981039346656037ull;
  unsigned long long size_ = 0;
};

/// A hash as sixteen lower-case hex digits, and back; false for anything else.
std::string HashText(uint64_t value);
bool ParseHashText(const std::string& text, uint64_t& value);

}  // namespace trilo
