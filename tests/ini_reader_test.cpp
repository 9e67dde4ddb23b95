#include <gtest/gtest.h>

#include "ini_corpus.h"
#include "formats/ini_reader.h"
#include "platform/profile.h"
#include "platform/system_info.h"
#include "test_support.h"

namespace trilo {
namespace {

std::string Get(const std::string& text, const std::string& section, const std::string& key,
                size_t buffer = 1024) {
  return IniText(text).GetString(section, key, "<def>", buffer);
}

TEST(IniReaderTest, NamesIgnoreCaseAndSurroundingBlanks) {
  const std::string ini = "  [ Spaced ]\n[Tight]\n  Key One  =   v  w  \nk2 =\n";
  EXPECT_EQ(Get(ini, "tight", "KEY ONE"), "v  w");
  EXPECT_EQ(Get(ini, " Tight ", " key one "), "v  w");
  EXPECT_EQ(Get(ini, "Tight", "k2"), "");
  // Blanks inside the brackets are not part of the section's name.
  EXPECT_EQ(Get("[ S ]\nk=v\n", "S", "k"), "v");
  EXPECT_EQ(Get("[\tVESKA INSTALL \t]\nk=v\n", "veska install", "k"), "v");
  EXPECT_EQ(Get("[ S ]\nk=v\n", "S ", "k"), "v");
  EXPECT_EQ(Get("[S]\nk=v\n", "S", ""), "<def>");
}

TEST(IniReaderTest, FirstSectionAndFirstKeyWin) {
  const std::string ini = "[Dup]\nk=first\nk=second\n[Other]\n[dup]\nk=third\nonly=later\n";
  EXPECT_EQ(Get(ini, "Dup", "k"), "first");
  EXPECT_EQ(Get(ini, "dup", "only"), "<def>");
}

TEST(IniReaderTest, QuotesAndLength) {
  EXPECT_EQ(Get("[Q]\na=\"q\"\n", "Q", "a"), "q");
  EXPECT_EQ(Get("[Q]\na='q'\n", "Q", "a"), "q");
  EXPECT_EQ(Get("[Q]\na=\"q'\n", "Q", "a"), "\"q'");
  EXPECT_EQ(Get("[Q]\na=\"\n", "Q", "a"), "\"");
  EXPECT_EQ(Get("[Q]\na=\"\"\n", "Q", "a"), "");
  EXPECT_EQ(Get("[Q]\na=" + std::string(1500, 'x') + "\n", "Q", "a"), std::string(1023, 'x'));
  EXPECT_EQ(Get("[Q]\na=abcdef\n", "Q", "a", 4), "abc");
}

TEST(IniReaderTest, LinesWithoutEqualsAreKeysWithoutValues) {
  const std::string ini = "[S]\nflag\n;c=1\n";
  EXPECT_EQ(Get(ini, "S", "flag"), "<def>");
  EXPECT_EQ(Get(ini, "S", ";c"), "<def>");  // a comment, whatever name is asked for
}

// Where Windows answers otherwise than Wine 8, which the reader once followed.
TEST(IniReaderTest, AnswersAsWindowsWhereWineDiffers) {
  const struct {
    const char* text;
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"[sec]whoops]\nk=v\n", "sec", "k", "v"},          // the name ends at the first "]"
      {"[sec]whoops]\nk=v\n", "sec]whoops", "k", "<def>"},
      {"[open  \nk=v\n", "open", "k", "v"},              // no "]": the rest of the line, blanks cut
      {"[S]\n;k=v\n  ; j=w\n", "S", ";k", "<def>"},
      {"[S]\n  ; j=w\n", "S", "; j", "<def>"},
      {"[S]\n#k=v\n", "S", "#k", "v"},                   // only ";" opens a comment
      {"lead=v\n[S]\n", "", "lead", "<def>"},            // before any header: no section
      {"lead=v\n[]\nk=w\n", "", "k", "w"},              // "" is the section "[]"
      {"[S]\nk=v\n", "  S ", " k  ", "v"},               // spaces around the asked names go
      {"[S]\nk=v\n", "S\t", "k", "<def>"},              // a TAB, VT, CR or LF stays part of them
      {"[S]\nk=v\n", "S", "k\v", "<def>"},
      {"[S]\nk=v\n", "S", "\rk\n", "<def>"},
      {"\xEF\xBB\xBF[S]\nk=v\n", "S", "k", "<def>"},  // a UTF-8 mark makes the first line no header
      {"\xEF\xBB\xBF;c\n[S]\nk=v\n", "S", "k", "v"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Get(c.text, c.section, c.key), c.expected) << c.text << " [" << c.section << "] " << c.key;
}

TEST(ProfileTest, Utf16LeFilesReadInTheCodePage) {
  test::TempDir dir;
  // "[S]\r\nT=N\u00FCr\u20AC\u4E00" with the mark, and an odd last byte.
  std::string utf16 = "\xFF\xFE";
  for (char16_t c : std::u16string(u"[S]\r\nT=N\u00FCr\u20AC\u4E00\r\n")) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  test::WriteFile(dir / "u.ini", utf16 + "x");
  // Code page 1252 has the umlaut and the euro sign, not the CJK letter.
  if (ActiveCodePage().Id() == 1252) {
    EXPECT_EQ(ReadProfileText(dir / "u.ini"), "[S]\r\nT=N\xFCr\x80?\r\n?");
    EXPECT_EQ(ReadProfileString("S", "T", "", dir / "u.ini"), "N\xFCr\x80?");
  }
  // Big-endian UTF-16 is not understood: its bytes are taken as they are.
  test::WriteFile(dir / "be.ini", std::string("\xFE\xFF\0[\0S\0]", 8));
  EXPECT_EQ(ReadProfileText(dir / "be.ini"), std::string("\xFE\xFF\0[\0S\0]", 8));
  EXPECT_EQ(ReadProfileText(dir / "none.ini"), "");
}

TEST(IniReaderTest, IntegersAsTheProfileReaderTakesThem) {
  EXPECT_EQ(ProfileTextToInt("42"), 42);
  EXPECT_EQ(ProfileTextToInt(" -3"), -3);
  EXPECT_EQ(ProfileTextToInt("+7x"), 7);
  EXPECT_EQ(ProfileTextToInt("abc"), 0);
  EXPECT_EQ(ProfileTextToInt("0x1F"), 31);
  EXPECT_EQ(ProfileTextToInt("4294967297"), 1);  // 32 bits wrap
  IniText ini("[N]\nempty=\nv=9\n");
  EXPECT_EQ(ini.GetInt("N", "empty", 5), 5);
  EXPECT_EQ(ini.GetInt("N", "absent", 5), 5);
  EXPECT_EQ(ini.GetInt("N", "v", 5), 9);
}

TEST(ProfileTest, MissingFileGivesTheDefault) {
  test::TempDir dir;
  EXPECT_EQ(ReadProfileString("S", "k", "dflt", dir / "none.ini"), "dflt");
  EXPECT_EQ(ReadProfileInt("S", "k", 17, dir / "none.ini"), 17);
  test::WriteFile(dir / "a.ini", "[S]\r\nk = value \r\nn=12\r\n");
  EXPECT_EQ(ReadProfileString("s", "K", "dflt", dir / "a.ini"), "value");
  EXPECT_EQ(ReadProfileInt("S", "n", 0, dir / "a.ini"), 12);
}

}  // namespace
}  // namespace trilo
