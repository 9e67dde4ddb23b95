#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace trilo {

/// How a fingerprint is computed. Records name the algorithm beside each
/// value, so that those written with the older one still read and compare.
enum class HashAlgorithm {
  Fnv1a64,  ///< one multiply per byte: what the first records hold
  Xxh64,    ///< XXH64 with seed 0: four lanes of eight bytes, at memory speed
};

/// A fingerprint of a file's bytes, enough to tell whether a file is still
/// the one the installer wrote. Fed in pieces, it gives the same value as
/// fed at once.
class ContentHash {
 public:
  explicit ContentHash(HashAlgorithm algorithm = HashAlgorithm::Xxh64);
  void Add(const char* bytes, size_t count);
  void Add(const std::string& bytes) { Add(bytes.data(), bytes.size()); }
  uint64_t Value() const;
  HashAlgorithm Algorithm() const { return algorithm_; }
  /// How many bytes went in.
  unsigned long long Size() const { return size_; }

 private:
  HashAlgorithm algorithm_;
  unsigned long long size_ = 0;
  uint64_t lanes_[4];      ///< XXH64's accumulators; lanes_[0] is FNV's value
  unsigned char tail_[32]; ///< XXH64's bytes short of a whole stripe
  size_t tailSize_ = 0;
};

/// A hash as sixteen lower-case hex digits, and back; false for anything else.
std::string HashText(uint64_t value);
bool ParseHashText(const std::string& text, uint64_t& value);

}  // namespace trilo
