// The code page on POSIX: chosen as Wine chooses it, converted at the
// platform's edges with iconv, and refused where Windows could not name a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/posix/code_page_text.h"
#include "platform/posix/path_map.h"
#include "platform/system_info.h"
#include "platform/user_path.h"
#include "posix/scoped_env.h"
#include "step_fixture.h"

namespace trilo {
namespace test {
namespace {

namespace fs = std::filesystem;

// Gives the process its code page back at the end of a test.
class ScopedCodePage {
 public:
  explicit ScopedCodePage(unsigned id) { EXPECT_TRUE(UseCodePage(id)) << id; }
  ~ScopedCodePage() { UseCodePage(saved_); }

 private:
  unsigned saved_ = ActiveCodePage().Id();
};

TEST(CodePagePosixTest, DerivedFromTheLocaleAsWineDoes) {
  const std::pair<const char*, unsigned> locales[] = {
      {"", 1252}, {"C", 1252}, {"POSIX", 1252}, {"C.UTF-8", 1252}, {"en_US.UTF-8", 1252},
      {"fr_FR@euro", 1252}, {"de_DE.ISO-8859-1", 1252}, {"pt_BR", 1252}, {"xx_YY.UTF-8", 1252},
      {"pl_PL.UTF-8", 1250}, {"cs_CZ", 1250}, {"hu_HU.UTF-8", 1250}, {"sr_RS.UTF-8@latin", 1250},
      {"ru_RU.UTF-8", 1251}, {"uk_UA.KOI8-U", 1251}, {"bg_BG", 1251}, {"sr_RS", 1251},
      {"el_GR.UTF-8", 1253}, {"tr_TR.UTF-8", 1254}, {"he_IL.UTF-8", 1255}, {"ar_EG.UTF-8", 1256},
      {"fa_IR", 1256}, {"lt_LT.UTF-8", 1257}, {"lv_LV", 1257}, {"et_EE", 1257}, {"th_TH.UTF-8", 874},
      {"ja_JP.UTF-8", 932}, {"ja_JP.eucJP", 932}, {"zh_CN.UTF-8", 936}, {"zh_SG.GBK", 936},
      {"zh_TW.UTF-8", 950}, {"zh_HK.UTF-8", 950}, {"ko_KR.UTF-8", 949},
  };
  for (const auto& [locale, codePage] : locales) EXPECT_EQ(CodePageForLocale(locale), codePage) << locale;

  // LC_ALL, then LC_CTYPE, then LANG; an empty one counts as unset.
  ScopedEnv all("LC_ALL", ""), ctype("LC_CTYPE", "ja_JP.UTF-8"), lang("LANG", "ru_RU.UTF-8");
  EXPECT_EQ(LocaleFromEnvironment(), "ja_JP.UTF-8");
  {
    ScopedEnv set("LC_ALL", "el_GR.UTF-8");
    EXPECT_EQ(LocaleFromEnvironment(), "el_GR.UTF-8");
  }
  ScopedEnv noCtype("LC_CTYPE", "");
  EXPECT_EQ(LocaleFromEnvironment(), "ru_RU.UTF-8");
}

TEST(CodePagePosixTest, ConvertsBothWaysAndRefusesWhatIsNoText) {
  struct Case {
    unsigned codePage;
    std::string text, utf8;
  } cases[] = {
      {1252, "Fran\xE7" "aise \x80", "Fran\xC3\xA7" "aise \xE2\x82\xAC"},
      {1251, "\xC4\xEE\xEC", "\xD0\x94\xD0\xBE\xD0\xBC"},
      {932, "\\\x83\x5C\\\x95\x5C~", "\\\xE3\x82\xBD\\\xE8\xA1\xA8~"},  // 0x5C alone is "\", 0x7E "~"
      {936, "\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},
      {kUtf8CodePage, "\xC3\xA9", "\xC3\xA9"},
  };
  for (const Case& c : cases) {
    ScopedCodePage cp(c.codePage);
    std::string utf8, text;
    EXPECT_TRUE(CodePageToUtf8(c.text, utf8)) << c.codePage;
    EXPECT_EQ(utf8, c.utf8) << c.codePage;
    EXPECT_TRUE(Utf8ToCodePage(c.utf8, text)) << c.codePage;
    EXPECT_EQ(text, c.text) << c.codePage;
    EXPECT_TRUE(TakeRefusals().empty());
  }

  struct Refusal {
    unsigned codePage;
    bool fromCodePage;
    std::string text, sentence;
  } refusals[] = {
      {932, true, "ab\x83", "\"ab\\x83\" is not text in code page 932"},  // a lead byte without its trail
      {932, true, "\x81\x20z", "\"\\x81 z\" is not text in code page 932"},
      {1252, true, "\x81", "\"\\x81\" is not text in code page 1252"},
      {1252, false, "\xE6\x97\xA5\xE6\x9C\xAC", "\"\xE6\x97\xA5\xE6\x9C\xAC\" cannot be written in code page 1252"},
      {932, false, "\xC3\xA9t\xC3\xA9", "\"\xC3\xA9t\xC3\xA9\" cannot be written in code page 932"},
      {1251, false, "a\xFF", "\"a\\xFF\" cannot be written in code page 1251"},  // no UTF-8 at all
  };
  for (const Refusal& r : refusals) {
    ScopedCodePage cp(r.codePage);
    std::string out = "stale";
    EXPECT_FALSE(r.fromCodePage ? CodePageToUtf8(r.text, out) : Utf8ToCodePage(r.text, out)) << r.sentence;
    EXPECT_EQ(out, "");
    EXPECT_EQ(Reasons(TakeRefusals()), std::vector<std::string>{r.sentence});
    EXPECT_TRUE(TakeRefusals().empty());
  }
  // Showing never refuses: what is no text becomes U+FFFD.
  ScopedCodePage cp(932);
  EXPECT_EQ(CodePageForDisplay("a\x83"), "a\xEF\xBF\xBD");
  EXPECT_TRUE(TakeRefusals().empty());
  EXPECT_FALSE(UseCodePage(12345));
  EXPECT_EQ(ActiveCodePage().Id(), 932u);
}

TEST(CodePagePosixTest, PathsSplitOnlyAtSeparatorsAndMatchWithoutCase) {
  TempDir dir;
  const std::string base = SystemPath(dir.Path());
  {
    ScopedCodePage cp(932);
    // "ソ" is 0x83 0x5C: a path through it is one folder, not two.
    MakeFolder(dir / "\x83\x5C\\\x95\x5C");
    EXPECT_EQ(ToNativePath(dir / "\x83\x5C\\\x95\x5C\\a.txt"), base + "\xE3\x82\xBD/\xE8\xA1\xA8/a.txt");
    EXPECT_EQ(FromNativePath(base + "\xE3\x82\xBD/"), dir / "\x83\x5C\\");
    EXPECT_TRUE(fs::is_directory(base + "\xE3\x82\xBD/\xE8\xA1\xA8"));
  }
  ScopedCodePage cp(1252);
  fs::create_directories(base + "\xC3\x89l\xC3\xA9phant/\xD0\x94\xD0\xBE\xD0\xBC");
  std::ofstream(base + "\xC3\x89l\xC3\xA9phant/\xC3\x89T\xC3\x89.TXT") << "summer";
  // "É" and "é" are one letter in two cases, as Wine compares names.
  EXPECT_EQ(ToNativePath(dir / "\xE9L\xC9PHANT\\\xE9t\xE9.txt"), base + "\xC3\x89l\xC3\xA9phant/\xC3\x89T\xC3\x89.TXT");
  EXPECT_EQ(ReadFile(dir / "\xC9l\xE9phant\\\xC9t\xE9.txt"), "summer");
  // A name the code page cannot write is no name in it at all.
  EXPECT_EQ(FromNativePath(base + "\xC3\x89l\xC3\xA9phant/\xD0\x94\xD0\xBE\xD0\xBC"), "");
  ASSERT_EQ(TakeRefusals().size(), 1u);
  {
    // Caseless in Cyrillic too: "дом" finds "Дом".
    ScopedCodePage cyrillic(1251);
    MakeFolder(dir / "\xC4\xEE\xEC");
    EXPECT_EQ(ToNativePath(dir / "\xE4\xCE\xCC"), base + "\xD0\x94\xD0\xBE\xD0\xBC");
  }
}

class CodePageStepTest : public StepTest {
 protected:
  RecordingProgress progress;
};

TEST_F(CodePageStepTest, NamesThatAreNoTextAreRefusedAndNamed) {
  ScopedCodePage cp(932);
  WriteFile(pkg + "x.dat", "x");
  WriteFile(pkg + "dirs.txt", "${TOPDIR}ok\r\n${TOPDIR}bad\x83\r\n${TOPDIR}after\r\n");
  EXPECT_FALSE(app.CreateTemplateDirectories());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error creating directory"});
  const std::vector<std::string> refused = Reasons(TakeRefusals());
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_NE(refused[0].find("bad\\x83\" is not text in code page 932"), std::string::npos) << refused[0];
  EXPECT_EQ(ListFolder(game), std::vector<std::string>{"ok"});

  // A copy is logged with the code Windows gives a name it cannot translate.
  WriteFile(pkg + "files.txt", "${TOPDIR}x\x81\x20y = x.dat\r\n${TOPDIR}ok\\x.dat = x\x83\r\n");
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(ReadFile(pkg + "log.txt"),
            "Couldn't copy: x.dat => " + game + "x\x81\x20y, errno=84, last error=1113\r\n"
            "Couldn't copy: x\x83 => " + game + "ok\\x.dat, errno=84, last error=1113\r\n");
  EXPECT_EQ(TakeRefusals().size(), 2u);
}

}  // namespace
}  // namespace test
}  // namespace trilo
