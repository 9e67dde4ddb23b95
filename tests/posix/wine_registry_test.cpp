#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/file_ops.h"
#include "platform/filesystem.h"
#include "platform/posix/path_map.h"
#include "platform/posix/wine_registry.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/user_path.h"
#include "test_support.h"

namespace trilo {
namespace {

namespace fs = std::filesystem;

// A Wine prefix laid out by hand: system.reg and dosdevices/ links.
class WinePrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = ToNativePath(dir.Path());
    fs::create_directories(root + "/prefix/dosdevices");
    fs::create_directories(root + "/prefix/drive_c/Games/F1 2002");
    fs::create_symlink("../drive_c", root + "/prefix/dosdevices/c:");
    fs::create_symlink("/", root + "/prefix/dosdevices/z:");
    const char* old = std::getenv("WINEPREFIX");
    if (old) saved = old, hadSaved = true;
    setenv("WINEPREFIX", (root + "/prefix").c_str(), 1);
  }
  void TearDown() override {
    if (hadSaved) setenv("WINEPREFIX", saved.c_str(), 1);
    else unsetenv("WINEPREFIX");
  }
  void WriteReg(const std::string& text) { test::WriteFile(dir / "prefix\\system.reg", text); }

  test::TempDir dir;
  std::string root, saved;
  bool hadSaved = false;
};

TEST_F(WinePrefixTest, FindsTheThirtyTwoBitViewAndMapsTheDrive) {
  WriteReg(
      "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
      "[Software\\\\Wow6432Node\\\\EA SPORTS\\\\F1 9902] 1700000000\n#time=1d\n"
      "\"Install Dir\"=\"C:\\\\Games\\\\F1 2002\"\n\"Other\"=dword:00000001\n");
  std::string folder;
  ASSERT_TRUE(QueryGameInstallDir(folder));
  EXPECT_EQ(ToNativePath(folder), fs::canonical(root + "/prefix/drive_c").string() + "/Games/F1 2002");
}

TEST_F(WinePrefixTest, PlainKeyCaseAndExpandStrings) {
  WriteReg("[software\\\\ea sports\\\\f1 9902] 1\n\"install dir\"=str(2):\"Z:\\\\opt\\\\f1\"\n");
  std::string folder;
  ASSERT_TRUE(QueryGameInstallDir(folder));
  EXPECT_EQ(ToNativePath(folder), "/opt/f1");
}

TEST_F(WinePrefixTest, MissingPieceBehavesAsAMissingKey) {
  std::string folder = "unchanged";
  EXPECT_FALSE(QueryGameInstallDir(folder));  // no system.reg at all
  WriteReg("[Software\\\\EA SPORTS\\\\F1 9902] 1\n\"Version\"=\"1\"\n");
  EXPECT_FALSE(QueryGameInstallDir(folder));  // no value
  WriteReg("[Software\\\\EA SPORTS\\\\F1 9903] 1\n\"Install Dir\"=\"C:\\\\x\"\n");
  EXPECT_FALSE(QueryGameInstallDir(folder));  // another key
  WriteReg("[Software\\\\EA SPORTS\\\\F1 9902] 1\n\"Install Dir\"=\"Q:\\\\x\"\n");
  EXPECT_FALSE(QueryGameInstallDir(folder));  // a drive the prefix does not have
  WriteReg("[Software\\\\EA SPORTS\\\\F1 9902] 1\n\"Install Dir\"=\"C:\\\\" + std::string(600, 'x') + "\"\n");
  EXPECT_FALSE(QueryGameInstallDir(folder));  // longer than the value buffer
  EXPECT_EQ(folder, "unchanged");
}

// A folder with a non-ASCII name, as Wine writes it (UTF-16 escapes): it
// comes back in the code page, or not at all when the code page lacks it.
TEST_F(WinePrefixTest, FolderNamesComeIntoTheCodePage) {
  fs::create_directories(root + "/prefix/drive_c/\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B");  // "Игры"
  WriteReg("[Software\\\\EA SPORTS\\\\F1 9902] 1\n\"Install Dir\"=\"C:\\\\\\x418\\x433\\x440\\x44b\"\n");
  const unsigned saved = ActiveCodePage().Id();
  ASSERT_TRUE(UseCodePage(1251));
  std::string folder;
  EXPECT_TRUE(QueryGameInstallDir(folder));
  EXPECT_EQ(folder.substr(folder.size() - 5), "\\\xC8\xE3\xF0\xFB");
  ASSERT_TRUE(UseCodePage(1252));
  folder = "unchanged";
  EXPECT_FALSE(QueryGameInstallDir(folder));
  EXPECT_EQ(test::Reasons(TakeRefusals()), std::vector<std::string>{
                                "\"C:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\" cannot be written in code page 1252"});
  UseCodePage(saved);
}

TEST(WineRegistryTextTest, EscapesInStrings) {
  std::string value;
  ASSERT_TRUE(FindWineRegistryValue("[K] 1\n\"V\"=\"a\\\"b\\\\c\\x00e9d\"\n", "K", "V", value));
  EXPECT_EQ(value, "a\"b\\c\xC3\xA9" "d");
  // Beyond the first 65536 characters, a pair of escapes makes one.
  ASSERT_TRUE(FindWineRegistryValue("[K] 1\n\"V\"=\"\\xd83c\\xdfc1!\"\n", "K", "V", value));
  EXPECT_EQ(value, "\xF0\x9F\x8F\x81!");
  EXPECT_FALSE(FindWineRegistryValue("[K] 1\n\"V\"=\"unterminated\n", "K", "V", value));
}

TEST(PathMapTest, ResolvesComponentsWithoutRegardToCase) {
  test::TempDir dir;
  test::MakeFolder(dir / "Data\\Cars");
  test::WriteFile(dir / "Data\\Cars\\Car.DAT", "x");
  const std::string base = ToNativePath(dir.Path());
  EXPECT_EQ(ToNativePath(dir / "data\\CARS\\car.dat"), base + "Data/Cars/Car.DAT");
  // A missing tail is kept as written, below the resolved part.
  EXPECT_EQ(ToNativePath(dir / "DATA\\new\\File.txt"), base + "Data/new/File.txt");
  EXPECT_EQ(ToNativePath("rel\\a/b"), "rel/a/b");
  EXPECT_EQ(FromNativePath("/a/b/"), "\\a\\b\\");
  EXPECT_EQ(test::ReadFile(dir / "DATA\\cars\\CAR.dat"), "x");
}

// The names of a folder are cached between lookups; these change the folder
// behind the cache's back, or through our own copies, and look again.
TEST(PathMapTest, FolderCacheFollowsChanges) {
  test::TempDir dir;
  test::MakeFolder(dir / "Data\\Cars");
  test::WriteFile(dir / "Data\\Cars\\Car.DAT", "x");
  const std::string base = ToNativePath(dir.Path());
  EXPECT_EQ(ToNativePath(dir / "data\\new.txt"), base + "Data/new.txt");

  // Made by something else between two lookups.
  test::WriteFile(dir / "Data\\NEW.TXT", "n");
  EXPECT_EQ(ToNativePath(dir / "data\\new.txt"), base + "Data/NEW.TXT");

  // The same, spelt as the folder is, once its names are held: a name made or
  // removed behind our back is seen at the next look.
  EXPECT_EQ(ToNativePath(dir / "Data\\later.txt"), base + "Data/later.txt");
  std::ofstream(base + "Data/Later.TXT") << "l";
  EXPECT_EQ(ToNativePath(dir / "Data\\later.txt"), base + "Data/Later.TXT");
  EXPECT_TRUE(GetFileStatus(dir / "Data\\LATER.txt").exists);
  ASSERT_EQ(unlink((base + "Data/Later.TXT").c_str()), 0);
  EXPECT_FALSE(GetFileStatus(dir / "Data\\Later.TXT").exists);

  // A folder renamed: its new name resolves, the old one no longer does.
  EXPECT_EQ(ToNativePath(dir / "data\\cars\\car.dat"), base + "Data/Cars/Car.DAT");
  ASSERT_EQ(rename((base + "Data/Cars").c_str(), (base + "Data/Wheels").c_str()), 0);
  EXPECT_EQ(ToNativePath(dir / "data\\WHEELS\\car.dat"), base + "Data/Wheels/Car.DAT");
  EXPECT_EQ(ToNativePath(dir / "data\\cars\\car.dat"), base + "Data/cars/car.dat");

  // Our own copy is known at once, under any spelling, and replaced in place.
  ASSERT_TRUE(CopyFileReplacing(dir / "Data\\NEW.TXT", dir / "data\\Copy.Txt"));
  test::WriteFile(dir / "Data\\NEW.TXT", "again");
  ASSERT_TRUE(CopyFileReplacing(dir / "Data\\NEW.TXT", dir / "DATA\\COPY.TXT"));
  EXPECT_EQ(test::ListFolder(dir / "Data"), (std::vector<std::string>{"Copy.Txt", "NEW.TXT", "Wheels"}));
  EXPECT_EQ(test::ReadFile(dir / "Data\\Copy.Txt"), "again");
}

TEST(PathMapTest, ExactNameWinsAndLargeFoldersResolve) {
  test::TempDir dir;
  test::MakeFolder(dir / "Big");
  const std::string base = ToNativePath(dir.Path());
  // Made as the system names them: our own writes would match the case.
  auto make = [&](const std::string& name, const char* text) { std::ofstream(base + "Big/" + name) << text; };
  for (int i = 0; i < 2000; ++i) make("File" + std::to_string(i) + ".dat", "");
  make("Dup.txt", "mixed");
  make("DUP.txt", "upper");
  EXPECT_EQ(ToNativePath(dir / "big\\FILE1999.DAT"), base + "Big/File1999.dat");
  EXPECT_EQ(ToNativePath(dir / "big\\file0.DAT"), base + "Big/File0.dat");
  EXPECT_EQ(ToNativePath(dir / "big\\DUP.txt"), base + "Big/DUP.txt");
  EXPECT_EQ(ToNativePath(dir / "big\\Dup.txt"), base + "Big/Dup.txt");
  // Spelt as the folder is, whose names are held: the held one of two names
  // that differ in case is not taken for the other.
  for (const char* name : {"Dup.txt", "DUP.txt", "File7.dat"})
    EXPECT_EQ(ToNativePath(dir / ("Big\\" + std::string(name))), base + "Big/" + name);
  EXPECT_EQ(ToNativePath(dir / "Big\\file7.DAT"), base + "Big/File7.dat");
  EXPECT_FALSE(GetFileStatus(dir / "Big\\dup.TXT.none").exists);
  ASSERT_TRUE(CopyFileReplacing(dir / "Big\\Dup.txt", dir / "BIG\\DUP.txt"));
  EXPECT_EQ(test::ReadFile(dir / "Big\\DUP.txt"), "mixed");
}

// A copy onto a destination its caller has just looked at (as the install
// record does) writes the file that was looked at, even when another
// spelling of the name turned up in between; a later lookup sees it.
TEST(PathMapTest, ACopyWritesTheFileItsCallerLookedAt) {
  test::TempDir dir;
  test::MakeFolder(dir / "Data");
  test::WriteFile(dir / "Data\\src.txt", "new");
  const std::string data = ToNativePath(dir.Path()) + "Data/";
  auto content = [](const std::string& native) {
    std::ifstream in(native);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string("<missing>");
  };
  for (bool lookAgain : {false, true}) {
    SCOPED_TRACE(lookAgain ? "another lookup between" : "straight after");
    const std::string name = lookAgain ? "b.txt" : "a.txt", theirs = lookAgain ? "B.TXT" : "A.TXT";
    ASSERT_FALSE(GetFileStatus(dir / ("Data\\" + name)).exists);
    std::ofstream(data + theirs) << "theirs";
    if (lookAgain) GetFileStatus(dir / "Data\\src.txt");
    ASSERT_TRUE(CopyFileReplacing(dir / "Data\\src.txt", dir / ("Data\\" + name)));
    // Straight after, the file looked at is written and theirs is left;
    // otherwise the copy looks again and replaces theirs in place.
    EXPECT_EQ(content(data + theirs), lookAgain ? "new" : "theirs");
    EXPECT_EQ(content(data + name), lookAgain ? "<missing>" : "new");
  }
}

}  // namespace
}  // namespace trilo
