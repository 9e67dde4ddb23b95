#include "text/content_hash.h"

#include <cstring>

namespace trilo {

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

constexpr uint64_t kP1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kP2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t kP3 = 0x165667B19E3779F9ull;
constexpr uint64_t kP4 = 0x85EBCA77C2B2AE63ull;
constexpr uint64_t kP5 = 0x27D4EB2F165667C5ull;

uint64_t Rotl(uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

// Little-endian whatever the machine.
inline uint64_t Read64(const unsigned char* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
#else
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
#endif
}

uint64_t Read32(const unsigned char* p) {
  return uint64_t(p[0]) | uint64_t(p[1]) << 8 | uint64_t(p[2]) << 16 | uint64_t(p[3]) << 24;
}

inline uint64_t Round(uint64_t acc, uint64_t input) { return Rotl(acc + input * kP2, 31) * kP1; }

uint64_t MergeRound(uint64_t acc, uint64_t lane) { return (acc ^ Round(0, lane)) * kP1 + kP4; }

// The lanes are passed by value and returned: through a pointer they could
// alias the input bytes, and each stripe would store and reload them.
struct Lanes {
  uint64_t v0, v1, v2, v3;
};

inline Lanes Stripes(Lanes l, const unsigned char* p, size_t stripes) {
  for (; stripes > 0; --stripes, p += 32) {
    l.v0 = Round(l.v0, Read64(p));
    l.v1 = Round(l.v1, Read64(p + 8));
    l.v2 = Round(l.v2, Read64(p + 16));
    l.v3 = Round(l.v3, Read64(p + 24));
  }
  return l;
}

Lanes Load(const uint64_t* lanes) { return {lanes[0], lanes[1], lanes[2], lanes[3]}; }

void Store(const Lanes& l, uint64_t* lanes) {
  lanes[0] = l.v0;
  lanes[1] = l.v1;
  lanes[2] = l.v2;
  lanes[3] = l.v3;
}

}  // namespace

ContentHash::ContentHash(HashAlgorithm algorithm) : algorithm_(algorithm) {
  lanes_[0] = algorithm == HashAlgorithm::Fnv1a64 ? kFnvOffset : kP1 + kP2;
  lanes_[1] = kP2;
  lanes_[2] = 0;
  lanes_[3] = 0 - kP1;
}

void ContentHash::Add(const char* bytes, size_t count) {
  if (count == 0) return;  // `bytes` may then be null, which memcpy must not see
  size_ += count;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
  if (algorithm_ == HashAlgorithm::Fnv1a64) {
    uint64_t h = lanes_[0];
    for (size_t i = 0; i < count; ++i) h = (h ^ p[i]) * kFnvPrime;
    lanes_[0] = h;
    return;
  }
  if (tailSize_ > 0) {
    const size_t take = count < 32 - tailSize_ ? count : 32 - tailSize_;
    std::memcpy(tail_ + tailSize_, p, take);
    tailSize_ += take;
    p += take;
    count -= take;
    if (tailSize_ < 32) return;
    Store(Stripes(Load(lanes_), tail_, 1), lanes_);
    tailSize_ = 0;
  }
  const size_t stripes = count / 32;
  Store(Stripes(Load(lanes_), p, stripes), lanes_);
  p += stripes * 32;
  count -= stripes * 32;
  std::memcpy(tail_, p, count);
  tailSize_ = count;
}

uint64_t ContentHash::Value() const {
  if (algorithm_ == HashAlgorithm::Fnv1a64) return lanes_[0];
  uint64_t h;
  if (size_ >= 32) {
    h = Rotl(lanes_[0], 1) + Rotl(lanes_[1], 7) + Rotl(lanes_[2], 12) + Rotl(lanes_[3], 18);
    for (uint64_t lane : lanes_) h = MergeRound(h, lane);
  } else {
    h = kP5;
  }
  h += size_;
  const unsigned char* p = tail_;
  size_t left = tailSize_;
  for (; left >= 8; p += 8, left -= 8) h = Rotl(h ^ Round(0, Read64(p)), 27) * kP1 + kP4;
  if (left >= 4) {
    h = Rotl(h ^ Read32(p) * kP1, 23) * kP2 + kP3;
    p += 4;
    left -= 4;
  }
  for (; left > 0; ++p, --left) h = Rotl(h ^ *p * kP5, 11) * kP1;
  h ^= h >> 33;
  h *= kP2;
  h ^= h >> 29;
  h *= kP3;
  h ^= h >> 32;
  return h;
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
