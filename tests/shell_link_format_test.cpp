#include <gtest/gtest.h>

#include "formats/shell_link_format.h"

namespace trilo {
namespace {

uint32_t Get32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b.at(at + i));
  return v;
}

uint16_t Get16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b.at(at)) | static_cast<unsigned char>(b.at(at + 1)) << 8);
}

std::u16string GetUtf16(const std::string& b, size_t at, size_t count) {
  std::u16string s;
  for (size_t i = 0; i < count; ++i) s += static_cast<char16_t>(Get16(b, at + 2 * i));
  return s;
}

TEST(Utf8ToUtf16, WellFormedAndBrokenInput) {
  EXPECT_EQ(Utf8ToUtf16("Caf\xC3\xA9 \xE2\x82\xAC"), u"Caf\u00E9 \u20AC");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x8F\x81"), u"\U0001F3C1");  // a pair of surrogates
  // A stray byte, a cut sequence, an overlong form and an encoded surrogate
  // are each replaced, byte by byte, and the text goes on.
  EXPECT_EQ(Utf8ToUtf16("a\x80z"), u"a\uFFFDz");
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80!"), u"\uFFFD\uFFFD\uFFFD!");
}

// Walks the file as a reader does: header, link info, then the strings.
TEST(BuildShellLink, LayoutAReaderCanWalk) {
  for (const std::u16string& target : {std::u16string(u"C:\\Game\\f1_9902.exe"), std::u16string(u"Z:\\sp\u00E9l\\f1.exe")}) {
    ShellLinkData data;
    data.targetPath = target;
    data.description = u"My Mod";
    data.arguments = u" config=Mod.ini";
    data.iconLocation = u"C:\\Game\\mod.ico";
    std::string b;
    ASSERT_TRUE(BuildShellLink(data, b));

    ASSERT_EQ(Get32(b, 0), 0x4Cu);
    EXPECT_EQ(b.substr(4, 16), std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
    // Link info, name, arguments, icon, Unicode; no working directory.
    EXPECT_EQ(Get32(b, 0x14), 0x02u | 0x04u | 0x20u | 0x40u | 0x80u);

    const size_t info = 0x4C;
    const uint32_t infoSize = Get32(b, info);
    const uint32_t headerSize = Get32(b, info + 4);
    const bool ascii = target.find(u'\u00E9') == std::u16string::npos;
    EXPECT_EQ(headerSize, ascii ? 0x1Cu : 0x24u);
    const uint32_t pathOffset = Get32(b, info + 16);
    EXPECT_EQ(b.compare(info + pathOffset, 3, ascii ? "C:\\" : "Z:\\"), 0);
    if (!ascii) {
      EXPECT_EQ(GetUtf16(b, info + Get32(b, info + 28), target.size() + 1), target + u'\0');
    }

    size_t at = info + infoSize;
    for (const std::u16string* s : {&data.description, &data.arguments, &data.iconLocation}) {
      ASSERT_EQ(Get16(b, at), s->size());
      EXPECT_EQ(GetUtf16(b, at + 2, s->size()), *s);
      at += 2 + 2 * s->size();
    }
    EXPECT_EQ(b.size(), at + 4);
    EXPECT_EQ(Get32(b, at), 0u);
  }
}

TEST(BuildShellLink, StringBeyondItsCountIsRefused) {
  ShellLinkData data;
  data.targetPath = u"C:\\a.exe";
  data.arguments.assign(kMaxShellLinkString, u'x');
  std::string b;
  EXPECT_TRUE(BuildShellLink(data, b));
  data.arguments += u'x';
  EXPECT_FALSE(BuildShellLink(data, b));
}

}  // namespace
}  // namespace trilo
