#include <gtest/gtest.h>

#include "ini_corpus.h"
#include "formats/ini_reader.h"
#include "platform/profile.h"
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
  EXPECT_EQ(Get(ini, "S", ";c"), "1");  // no comment syntax
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
