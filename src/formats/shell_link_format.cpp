#include "formats/shell_link_format.h"

namespace trilo {

namespace {

// Link flags.
constexpr uint32_t kHasLinkInfo = 0x02;
constexpr uint32_t kHasName = 0x04;
constexpr uint32_t kHasWorkingDir = 0x10;
constexpr uint32_t kHasArguments = 0x20;
constexpr uint32_t kHasIconLocation = 0x40;
constexpr uint32_t kIsUnicode = 0x80;

constexpr uint32_t kHeaderSize = 0x4C;
// CLSID_ShellLink, 00021401-0000-0000-C000-000000000046, in its stored order.
constexpr unsigned char kShellLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                               0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kShowNormal = 1;

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void Put64(std::string& out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v & 0xFFFFFFFFu));
  Put32(out, static_cast<uint32_t>(v >> 32));
}

void PutUtf16(std::string& out, const std::u16string& s) {
  for (char16_t c : s) Put16(out, c);
}

bool IsAscii(const std::u16string& s) {
  for (char16_t c : s)
    if (c >= 0x80) return false;
  return true;
}

// The 8-bit copy of the path that every reader understands. Its code page
// is the reader's, so only ASCII is certain; the UTF-16 copy beside it
// carries the rest.
std::string AsciiForm(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::string LinkInfo(const std::u16string& path) {
  // The longer header with the UTF-16 path is only needed when the path is
  // not plain ASCII; older readers know just the short one.
  const bool withUnicode = !IsAscii(path);
  const uint32_t headerSize = withUnicode ? 0x24 : 0x1C;

  std::string volume;  // a fixed drive without serial number or label
  Put32(volume, 0x11);
  Put32(volume, kDriveFixed);
  Put32(volume, 0);
  Put32(volume, 0x10);
  volume += '\0';

  const std::string localPath = AsciiForm(path) + '\0';
  const uint32_t volumeOffset = headerSize;
  const uint32_t localPathOffset = volumeOffset + static_cast<uint32_t>(volume.size());
  const uint32_t suffixOffset = localPathOffset + static_cast<uint32_t>(localPath.size());
  const uint32_t unicodePathOffset = suffixOffset + 1;
  const uint32_t unicodeSuffixOffset = unicodePathOffset + 2 * static_cast<uint32_t>(path.size() + 1);
  const uint32_t size = withUnicode ? unicodeSuffixOffset + 2 : suffixOffset + 1;

  std::string out;
  Put32(out, size);
  Put32(out, headerSize);
  Put32(out, kVolumeIdAndLocalBasePath);
  Put32(out, volumeOffset);
  Put32(out, localPathOffset);
  Put32(out, 0);  // no network share
  Put32(out, suffixOffset);
  if (withUnicode) {
    Put32(out, unicodePathOffset);
    Put32(out, unicodeSuffixOffset);
  }
  out += volume;
  out += localPath;
  out += '\0';  // empty common path suffix
  if (withUnicode) {
    PutUtf16(out, path);
    Put16(out, 0);
    Put16(out, 0);
  }
  return out;
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    unsigned length = 0;
    uint32_t cp = 0, min = 0;
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      length = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      length = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      length = 4, cp = b & 0x07, min = 0x10000;
    }
    bool ok = length != 0 && i + length <= n;
    for (unsigned k = 1; ok && k < length; ++k) {
      const unsigned char c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not text.
    if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += length;
  }
  return out;
}

bool BuildShellLink(const ShellLinkData& data, std::string& bytes) {
  struct Entry {
    uint32_t flag;
    const std::u16string* text;
  };
  // The strings follow the link info in this fixed order.
  const Entry strings[] = {{kHasName, &data.description},
                           {kHasWorkingDir, &data.workingDir},
                           {kHasArguments, &data.arguments},
                           {kHasIconLocation, &data.iconLocation}};

  uint32_t flags = kIsUnicode;
  if (!data.targetPath.empty()) flags |= kHasLinkInfo;
  for (const Entry& e : strings) {
    if (e.text->size() > kMaxShellLinkString) return false;
    if (!e.text->empty()) flags |= e.flag;
  }

  std::string out;
  Put32(out, kHeaderSize);
  out.append(reinterpret_cast<const char*>(kShellLinkClsid), sizeof kShellLinkClsid);
  Put32(out, flags);
  Put32(out, data.fileAttributes);
  Put64(out, data.creationTime);
  Put64(out, data.accessTime);
  Put64(out, data.writeTime);
  Put32(out, data.fileSize);
  Put32(out, static_cast<uint32_t>(data.iconIndex));
  Put32(out, kShowNormal);
  Put16(out, 0);  // no hot key
  Put16(out, 0);  // reserved
  Put32(out, 0);
  Put32(out, 0);

  if (flags & kHasLinkInfo) out += LinkInfo(data.targetPath);
  for (const Entry& e : strings) {
    if (e.text->empty()) continue;
    Put16(out, static_cast<uint32_t>(e.text->size()));
    PutUtf16(out, *e.text);
  }
  Put32(out, 0);  // terminal block
  bytes.swap(out);
  return true;
}

}  // namespace trilo
