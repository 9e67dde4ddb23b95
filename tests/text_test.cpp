#include <gtest/gtest.h>

#include "platform/filesystem.h"
#include "test_support.h"
#include "text/code_page.h"
#include "text/content_hash.h"
#include "text/line_reader.h"
#include "platform/replacing_file.h"
#include "text/text_util.h"
#include "text/utf8.h"

namespace trilo {
namespace {

using test::TempDir;

std::vector<std::string> StringLines(const std::string& text) {
  std::vector<std::string> lines;
  StringLineReader reader(text);
  std::string line;
  while (reader.Next(line)) lines.push_back(line);
  return lines;
}

// A file's lines as the installer reads them: the whole file, then its lines.
std::vector<std::string> FileLines(const std::string& bytes) {
  TempDir dir;
  test::WriteFile(dir / "t.txt", bytes);
  std::string read;
  EXPECT_TRUE(ReadWholeFile(dir / "t.txt", read));
  return StringLines(read);
}

TEST(LineReaderTest, LineEndsAndLastLine) {
  using V = std::vector<std::string>;
  for (auto lines : {FileLines("a\r\nb\nc"), StringLines("a\r\nb\nc")}) EXPECT_EQ(lines, (V{"a", "b", "c"}));
  // A CR that is not right before LF stays; an empty last line after the
  // final LF does not count; blank lines in between do.
  for (auto lines : {FileLines("x\ry\r\n\n\r\nz\n"), StringLines("x\ry\r\n\n\r\nz\n")})
    EXPECT_EQ(lines, (V{"x\ry", "", "", "z"}));
  EXPECT_TRUE(FileLines("").empty());
  EXPECT_EQ(FileLines("\r\n"), V{""});
  // Only one CR is dropped.
  EXPECT_EQ(FileLines("a\r\r\n"), V{"a\r"});
}

TEST(LineReaderTest, LongLinesAndNulBytesArriveWhole) {
  std::string longLine(100000, 'x');
  longLine[4095] = '\r';  // across any internal buffer size
  std::string withNul("a\0b", 3);
  auto lines = FileLines(longLine + "\r\n" + withNul + "\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], longLine);
  EXPECT_EQ(lines[1], withNul);
}

TEST(LineWriterTest, EveryLineEndsWithCrLf) {
  std::string out;
  for (const char* line : {"one", "", "three"}) AppendCrLfLine(out, line);
  EXPECT_EQ(out, "one\r\n\r\nthree\r\n");
}

TEST(PathTextTest, SeparatorsAndProgramStems) {
  const CodePage western(1252), sjis(932);
  EXPECT_EQ(ToSlashes("C:\\a\\b/c\\", western), "C:/a/b/c/");
  EXPECT_EQ(ToBackslashes("/a/b\\c", western), "\\a\\b\\c");
  // 0x83 0x5C is the katakana "so": its trail byte is no separator in code
  // page 932, and in 1252 the same bytes are two characters.
  EXPECT_EQ(ToSlashes("\\\x83\x5C\\\x83\x5C", sjis), "/\x83\x5C/\x83\x5C");
  EXPECT_EQ(ToSlashes("\\\x83\x5C\\", western), "/\x83//");
  EXPECT_EQ(ToBackslashes("/\x83/\x83\x5C/", sjis), "\\\x83/\x83\x5C\\");
  const std::pair<const char*, const char*> stems[] = {
      {"C:\\Games\\setup.exe", "setup"}, {"/usr/bin/trilo-setup", "trilo-setup"}, {"a.b.exe", "a.b"},
      {"dir.d/.hidden", ".hidden"}, {"plain", "plain"},
  };
  for (const auto& [path, stem] : stems) EXPECT_EQ(FileStem(path), stem) << path;
  const std::pair<const char*, const char*> resolved[] = {
      {"\\pkg\\..\\game\\f1.exe", "\\game\\f1.exe"}, {"C:\\a\\.\\b\\\\c\\", "C:\\a\\b\\c\\"},
      {"C:\\..\\a", "C:\\a"}, {"a/../../b", "..\\b"}, {"a\\..", ""}, {"\\", "\\"},
      {"C:\\a\\b\\..\\..\\..\\c", "C:\\c"}, {"../../a/../b", "..\\..\\b"}, {"\\\\srv\\a\\..\\", "\\\\srv\\"},
      {"a\\bb\\..\\c\\.\\", "a\\c\\"},
  };
  for (const auto& [path, tidy] : resolved) EXPECT_EQ(ResolveDotSteps(path), tidy) << path;
}

TEST(TrimTest, WhiteSpaceSetAtBothEnds) {
  EXPECT_EQ(Trim(" \t\v\f\r\n a b \t\r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a \v"), "  a");
  EXPECT_EQ(Trim(" \t "), "");
  // Bytes above 0x7F are never white space, whatever the locale.
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");
}

TEST(TextUtilTest, CaseInsensitiveOnlyForAsciiLetters) {
  EXPECT_TRUE(EqualsIgnoreCase("SaveDir", "SAVEDIR"));
  EXPECT_FALSE(EqualsIgnoreCase("SAVEDIR ", "SAVEDIR"));
  EXPECT_FALSE(EqualsIgnoreCase("\xC4", "\xE4"));  // Latin-1 A/a umlaut are different bytes
  EXPECT_FALSE(EqualsIgnoreCase("[", "{"));        // 0x5B and 0x7B differ by the case bit only
  EXPECT_EQ(FoldCase("SaveDir\\[Z]@\xC4"), "savedir\\[z]@\xC4");
}

TEST(TextUtilTest, TemplateNameFitsTheBuffer) {
  std::string name = "unchanged";
  EXPECT_TRUE(FormTemplateName("", "files.txt", name));
  EXPECT_EQ(name, "files.txt");
  EXPECT_TRUE(FormTemplateName("B", "files.txt", name));
  EXPECT_EQ(name, "B.files.txt");
  // 245 + "." + "files.txt" is 255 characters: the longest that fits.
  EXPECT_TRUE(FormTemplateName(std::string(245, 'v'), "files.txt", name));
  EXPECT_EQ(name.size(), 255u);
  name = "unchanged";
  EXPECT_FALSE(FormTemplateName(std::string(246, 'v'), "files.txt", name));
  EXPECT_EQ(name, "unchanged");
  EXPECT_TRUE(FormTemplateName(std::string(246, 'v'), "dirs.txt", name));
}

TEST(CodePageTest, SearchStepsOverDoubleByteCharacters) {
  const CodePage sjis(932);
  // 0x95 0x5C is one Shift JIS character whose trail byte is "\".
  const std::string path = "C:\\\x95\x5C\\game\\\x95\x5C";
  EXPECT_EQ(FindChar(path, '\\', sjis), 2u);
  EXPECT_EQ(FindLastChar(path, '\\', sjis), 10u);
  EXPECT_EQ(FindLastChar(path, '\\', CodePage(1252)), 12u);
  // No "\" of its own after the folder: the trail byte is not one.
  EXPECT_EQ(FindLastChar("dir\\\x95\x5C", '\\', sjis), 3u);
  EXPECT_EQ(FindChar("\x95\x5C", '\\', sjis), std::string::npos);
  EXPECT_EQ(FindChar("\x95\x5C", '\\', CodePage(0)), 1u);
  // A lone lead byte at the end does not hide anything or run past the end.
  EXPECT_EQ(FindChar("ab\x95", '=', sjis), std::string::npos);
  EXPECT_EQ(FindText("\x95${X}${Y}", "${", sjis), 5u);
  EXPECT_EQ(FindText("a\x95${", "${", CodePage(0)), 2u);
  EXPECT_EQ(FindChar("a=b=c", '=', sjis, 2), 3u);
}

TEST(CodePageTest, LeadByteTables) {
  const CodePage sjis(932), gbk(936), none(1252);
  EXPECT_TRUE(sjis.IsLeadByte(0x81));
  EXPECT_TRUE(sjis.IsLeadByte(0x9F));
  EXPECT_FALSE(sjis.IsLeadByte(0xA0));  // half-width katakana are single bytes
  EXPECT_FALSE(sjis.IsLeadByte(0xDF));
  EXPECT_TRUE(sjis.IsLeadByte(0xE0));
  EXPECT_FALSE(sjis.IsLeadByte(0xFD));
  EXPECT_TRUE(gbk.IsLeadByte(0xFE));
  EXPECT_FALSE(gbk.IsLeadByte(0x80));
  for (int b = 0; b < 256; ++b) EXPECT_FALSE(none.IsLeadByte(static_cast<unsigned char>(b)));
  // The searches skip the lead-byte walk for a page that says it has none:
  // a page whose table has lead bytes must say so.
  for (unsigned id : {0u, 437u, 850u, 874u, 932u, 936u, 949u, 950u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u,
                      1257u, 1258u, 1361u, 20932u, 65001u}) {
    bool any = false;
    for (int b = 0; b < 256; ++b) any = any || CodePage(id).IsLeadByte(static_cast<unsigned char>(b));
    EXPECT_EQ(CodePage(id).HasLeadBytes(), any) << id;
  }
}

TEST(ReplacingFileTest, TargetChangesOnlyOnCommit) {
  TempDir dir;
  const std::string target = dir / "game.cfg";
  test::WriteFile(target, "old");
  {
    ReplacingFile out;
    ASSERT_TRUE(out.Open(target));
    ASSERT_TRUE(out.Write("new"));
    EXPECT_EQ(test::ReadFile(target), "old");
    // Dropped without Commit: the target is untouched and no temporary stays.
  }
  EXPECT_EQ(test::ReadFile(target), "old");
  {
    ReplacingFile out;
    ASSERT_TRUE(out.Open(target));
    std::string temp = out.TempPath();
    ASSERT_TRUE(out.Write("new"));
    ASSERT_TRUE(out.Commit());
    EXPECT_FALSE(test::FileExists(temp));
  }
  EXPECT_EQ(test::ReadFile(target), "new");
  ReplacingFile missingFolder;
  EXPECT_FALSE(missingFolder.Open(dir / "no\\such\\folder.cfg"));
}

// Known answers: XXH64 (seed 0) from the reference xxhsum, over bytes
// (7i + 3) mod 256, at the lengths where its stripes and tails change.
TEST(ContentHashTest, KnownValuesAndAnySplitOfTheInput) {
  const struct {
    size_t size;
    uint64_t xxh64;
  } kCases[] = {{0, 0xef46db3751d8e999}, {1, 0x1f25c8d0bc1f4bb6},   {3, 0x31d2363f52e564c9},
                {4, 0x9bb64b7d66ee9fda}, {7, 0x9a7b149959ce60d8},   {8, 0xdab99d95c6f90092},
                {12, 0xd52e407833af5133}, {31, 0xa2aa5f33cc4a6119}, {32, 0x23c3c17ef790fd97},
                {33, 0x50a7cfc7ba588784}, {63, 0x5e3e54b431c7493c}, {64, 0x0eb64b3ef6eeb01f},
                {100, 0xa61f8d4c170fe531}, {1000, 0x5f235fa033f1a3fb}};
  for (const auto& c : kCases) {
    std::string bytes;
    for (size_t i = 0; i < c.size; ++i) bytes += static_cast<char>((i * 7 + 3) & 255);
    ContentHash whole;
    whole.Add(bytes);
    EXPECT_EQ(whole.Value(), c.xxh64) << c.size;
    EXPECT_EQ(whole.Size(), c.size);
    // Fed in two pieces, and byte by byte.
    for (size_t cut = 0; cut <= c.size; cut += c.size > 100 ? 37 : 1) {
      ContentHash pieces;
      pieces.Add(bytes.data(), cut);
      pieces.Add(bytes.data() + cut, c.size - cut);
      EXPECT_EQ(pieces.Value(), c.xxh64) << c.size << " cut at " << cut;
    }
    ContentHash bytewise;
    for (char b : bytes) bytewise.Add(&b, 1);
    EXPECT_EQ(bytewise.Value(), c.xxh64) << c.size;
  }
  // The older records' FNV-1a still computes as it did.
  ContentHash empty(HashAlgorithm::Fnv1a64), a(HashAlgorithm::Fnv1a64);
  a.Add("a");
  EXPECT_EQ(empty.Value(), 0xcbf29ce484222325u);
  EXPECT_EQ(a.Value(), 0xaf63dc4c8601ec8cu);
}

}  // namespace
}  // namespace trilo

namespace trilo {
namespace {

// Each bad byte is one step of its own, replaced or marked as the caller asks.
TEST(Utf8Test, DecodesCharactersAndStepsOverBadBytes) {
  struct Case {
    std::string text;
    std::vector<uint32_t> replaced, marked;
  } cases[] = {
      {"a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8F\x81", {'a', 0xE9, 0x20AC, 0x1F3C1}, {'a', 0xE9, 0x20AC, 0x1F3C1}},
      {"\x80z", {0xFFFD, 'z'}, {kBadByte + 0x80, 'z'}},
      {"a\xC3", {'a', 0xFFFD}, {'a', kBadByte + 0xC3}},                                  // cut short
      {"\xC0\xAF", {0xFFFD, 0xFFFD}, {kBadByte + 0xC0, kBadByte + 0xAF}},                // overlong "/"
      {"\xE0\x80\xAF", {0xFFFD, 0xFFFD, 0xFFFD}, {kBadByte + 0xE0, kBadByte + 0x80, kBadByte + 0xAF}},
      {"\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}, {kBadByte + 0xED, kBadByte + 0xA0, kBadByte + 0x80}},  // surrogate
      {"\xF4\x90\x80\x80",  // past U+10FFFF
       {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD},
       {kBadByte + 0xF4, kBadByte + 0x90, kBadByte + 0x80, kBadByte + 0x80}},
  };
  for (const Case& c : cases)
    for (BadBytes bad : {BadBytes::Replace, BadBytes::Mark}) {
      std::vector<uint32_t> codes;
      for (size_t i = 0; i < c.text.size();) {
        const Utf8Char ch = DecodeUtf8(c.text, i, bad);
        codes.push_back(ch.code);
        i += ch.length;
      }
      EXPECT_EQ(codes, bad == BadBytes::Replace ? c.replaced : c.marked) << ::testing::PrintToString(c.text);
    }
  EXPECT_EQ(TextColumns("Caf\xC3\xA9"), 4u);
  EXPECT_EQ(TextColumns("\xE6\x97\xA5\xE6\x9C\xAC!"), 5u);  // two wide characters
  EXPECT_EQ(TextColumns("\xDC" "ber"), 4u);                 // a bad byte takes one column
}

TEST(FormatText, AnyLength) {
  const std::string long_(5000, 'x');
  EXPECT_EQ(FormatText("%s in %s.", long_.c_str(), "C:\\Game\\"), long_ + " in C:\\Game\\.");
  EXPECT_EQ(FormatText("%s", ""), "");
}

}  // namespace
}  // namespace trilo
