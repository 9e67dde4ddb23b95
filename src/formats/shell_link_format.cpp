#include "formats/shell_link_format.h"

#include "text/utf8.h"

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
  for (size_t i = 0; i < text.size();) {
    const Utf8Char c = DecodeUtf8(text, i, BadBytes::Replace);
    i += c.length;
    if (c.code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c.code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c.code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c.code);
    }
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
