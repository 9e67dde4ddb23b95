#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/posix/path_map.h"
#include "platform/posix/wine_registry.h"
#include "platform/registry.h"
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

TEST(WineRegistryTextTest, EscapesInStrings) {
  std::string value;
  ASSERT_TRUE(FindWineRegistryValue("[K] 1\n\"V\"=\"a\\\"b\\\\c\\x00e9d\"\n", "K", "V", value));
  EXPECT_EQ(value, "a\"b\\c\xC3\xA9" "d");
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

}  // namespace
}  // namespace trilo
