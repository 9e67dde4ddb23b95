// A small reader of shortcut (.lnk) files, written apart from the writer so
// that the fuzz target can check the writer's bytes against it: the header,
// the link info's local path, the strings and the extra data blocks up to
// the terminal block. Every offset and count is checked against the bytes;
// anything that does not fit makes the read fail, never read past the end.
#pragma once
#include <cstdint>
#include <string>

namespace trilo {
namespace fuzz {

struct LnkFile {
  uint32_t flags = 0;
  uint32_t fileAttributes = 0;
  uint64_t creationTime = 0, accessTime = 0, writeTime = 0;
  uint32_t fileSize = 0;
  int32_t iconIndex = 0;
  bool hasLocalPath = false;
  std::string localPath;         // the 8-bit copy
  bool hasUnicodePath = false;
  std::u16string unicodePath;
  // Present only when their flag is set.
  std::u16string name, relativePath, workingDir, arguments, iconLocation;
  size_t end = 0;  // where the terminal block ends
};

class LnkReader {
 public:
  explicit LnkReader(const std::string& bytes) : b_(bytes) {}

  bool Read(LnkFile& out) {
    static const unsigned char kClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                             0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    uint32_t headerSize = 0;
    if (!U32(0, headerSize) || headerSize != 0x4C || b_.size() < 0x4C) return false;
    if (b_.compare(4, 16, reinterpret_cast<const char*>(kClsid), 16) != 0) return false;
    uint32_t icon = 0;
    if (!U32(0x14, out.flags) || !U32(0x18, out.fileAttributes) || !U64(0x1C, out.creationTime) ||
        !U64(0x24, out.accessTime) || !U64(0x2C, out.writeTime) || !U32(0x34, out.fileSize) || !U32(0x38, icon))
      return false;
    out.iconIndex = static_cast<int32_t>(icon);
    size_t pos = 0x4C;
    if (out.flags & 0x01) {  // an item id list: skipped whole
      uint16_t size = 0;
      if (!U16(pos, size)) return false;
      pos += 2 + size;
    }
    if (out.flags & 0x02) {
      if (!LinkInfo(pos, out)) return false;
    }
    std::u16string* const strings[] = {&out.name, &out.relativePath, &out.workingDir, &out.arguments,
                                       &out.iconLocation};
    const uint32_t stringFlags[] = {0x04, 0x08, 0x10, 0x20, 0x40};
    const bool unicode = (out.flags & 0x80) != 0;
    for (int i = 0; i < 5; ++i) {
      if (!(out.flags & stringFlags[i])) continue;
      uint16_t count = 0;
      if (!U16(pos, count)) return false;
      pos += 2;
      const size_t unit = unicode ? 2 : 1;
      if (pos + size_t(count) * unit > b_.size()) return false;
      for (size_t k = 0; k < count; ++k) {
        uint16_t c = 0;
        if (unicode) U16(pos + 2 * k, c);
        else c = static_cast<unsigned char>(b_[pos + k]);
        strings[i]->push_back(static_cast<char16_t>(c));
      }
      pos += size_t(count) * unit;
    }
    // Extra data blocks, each with its size first, up to one smaller than 4.
    for (;;) {
      uint32_t size = 0;
      if (!U32(pos, size)) return false;
      if (size < 4) {
        out.end = pos + 4;
        return true;
      }
      if (size > b_.size() - pos) return false;
      pos += size;
    }
  }

 private:
  bool LinkInfo(size_t& pos, LnkFile& out) {
    uint32_t size = 0, headerSize = 0, flags = 0, localOffset = 0, unicodeOffset = 0;
    if (!U32(pos, size) || size < 0x1C || size > b_.size() - pos) return false;
    if (!U32(pos + 4, headerSize) || !U32(pos + 8, flags) || !U32(pos + 16, localOffset)) return false;
    if (headerSize < 0x1C || headerSize > size) return false;
    if (flags & 0x01) {  // a volume and a local path
      if (!CString(pos, size, localOffset, out.localPath)) return false;
      out.hasLocalPath = true;
      if (headerSize >= 0x24) {
        if (!U32(pos + 28, unicodeOffset) || !WString(pos, size, unicodeOffset, out.unicodePath)) return false;
        out.hasUnicodePath = true;
      }
    }
    pos += size;
    return true;
  }

  // A zero-ended string at `offset` within the block at `base` of `size` bytes.
  bool CString(size_t base, uint32_t size, uint32_t offset, std::string& out) const {
    if (offset >= size) return false;
    const size_t end = b_.find('\0', base + offset);
    if (end == std::string::npos || end >= base + size) return false;
    out = b_.substr(base + offset, end - base - offset);
    return true;
  }

  bool WString(size_t base, uint32_t size, uint32_t offset, std::u16string& out) const {
    for (size_t at = base + offset; at + 1 < base + size; at += 2) {
      uint16_t c = 0;
      U16(at, c);
      if (c == 0) return true;
      out.push_back(static_cast<char16_t>(c));
    }
    return false;
  }

  bool U16(size_t at, uint16_t& v) const {
    if (at > b_.size() || b_.size() - at < 2) return false;
    v = static_cast<uint16_t>(Byte(at) | Byte(at + 1) << 8);
    return true;
  }
  bool U32(size_t at, uint32_t& v) const {
    if (at > b_.size() || b_.size() - at < 4) return false;
    v = Byte(at) | Byte(at + 1) << 8 | Byte(at + 2) << 16 | static_cast<uint32_t>(Byte(at + 3)) << 24;
    return true;
  }
  bool U64(size_t at, uint64_t& v) const {
    uint32_t lo = 0, hi = 0;
    if (!U32(at, lo) || !U32(at + 4, hi)) return false;
    v = lo | static_cast<uint64_t>(hi) << 32;
    return true;
  }
  uint32_t Byte(size_t at) const { return static_cast<unsigned char>(b_[at]); }

  const std::string& b_;
};

}  // namespace fuzz
}  // namespace trilo
