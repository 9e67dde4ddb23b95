#include <gtest/gtest.h>

#include <filesystem>

#include "install/installer_app.h"
#include "shortcut_check.h"
#include "test_support.h"
#include "text/text_util.h"

namespace trilo {
namespace test {
namespace {

namespace fs = std::filesystem;

// A game folder with its executable, and an installer whose state points
// at it as the Install handler leaves it.
class ShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeFolder(game);
    WriteFile(game + "f1_9902.exe", "MZ");
    app.WorkingDir = package.Path();
    app.Settings.NewShortcut = 1;
    app.Settings.ConfigName = "Mod.ini";
    app.Settings.IconFile = "mod.ico";
    app.Settings.Desc = "My Mod";
    app.State.GameExePath = game + "f1_9902.exe";
    app.State.TOPDIR = game;
  }

  ExpectedShortcut Expected() const {
    ExpectedShortcut e;
    e.localPath = ShownPath(game + "f1_9902.exe");
    e.description = "My Mod";
    e.workingDir = ShownPath(game);
    e.arguments = " config=Mod.ini";
    e.iconLocation = ShownPath(game + "mod.ico");
    return e;
  }

  // The shortcut files in the game folder.
  std::vector<std::string> Shortcuts() const {
    const std::string native = SystemPath(game);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(native))
      if (entry.path().extension() == ".lnk" || entry.path().filename() == ".lnk")
        names.push_back(entry.path().filename().string());
    return names;
  }

  TempDir root;
  TempDir package;
  std::string game = root / "Game\\";
  ScriptedInteraction ui;
  InstallerApp app{ui};
};

TEST_F(ShortcutTest, StartsTheGameWithTheNewConfiguration) {
  EXPECT_TRUE(app.CreateShortcut());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Shortcuts(), std::vector<std::string>{"My Mod.lnk"});
  ExpectShortcut(game + "My Mod.lnk", Expected());

  // Written again over the old one, with what the package says now.
  app.Settings.ConfigName.clear();
  app.Settings.IconFile.clear();
  EXPECT_TRUE(app.CreateShortcut());
  ExpectedShortcut e = Expected();
  e.arguments = " config=";
  e.iconLocation = ShownPath(game);
  ExpectShortcut(game + "My Mod.lnk", e);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ShortcutTest, EmptyAndUnreadDescriptions) {
  app.Settings.Desc.clear();
  EXPECT_TRUE(app.CreateShortcut());
  ExpectedShortcut e = Expected();
  e.description.clear();
  ExpectShortcut(game + ".lnk", e);

  app.Settings.Desc = "Please Rename Me";
  EXPECT_TRUE(app.CreateShortcut());
  e.description = "Please Rename Me";
  ExpectShortcut(game + "Please Rename Me.lnk", e);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ShortcutTest, NonAsciiDescription) {
  const std::string desc = SystemText("Caf\xC3\xA9 M\xC3\xBCller");
  if (desc.empty()) GTEST_SKIP() << "the system code page cannot write the description";
  app.Settings.Desc = desc;
  EXPECT_TRUE(app.CreateShortcut());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(FileExists(game + desc + ".lnk"));
  ExpectedShortcut e = Expected();
  e.description = "Caf\xC3\xA9 M\xC3\xBCller";
  ExpectShortcut(game + desc + ".lnk", e);
}

TEST_F(ShortcutTest, PathMustFitTheShellBuffer) {
  // 259 characters and the terminating zero fill the 260 exactly.
  const size_t room = 259 - game.size() - 4;
  app.Settings.Desc = std::string(room, 'd');
  EXPECT_TRUE(app.CreateShortcut());
  EXPECT_TRUE(ui.messages.empty());
  ExpectedShortcut e = Expected();
  e.description = app.Settings.Desc;
  ExpectShortcut(game + app.Settings.Desc + ".lnk", e);

  // One more does not fit: no file under a cut name, and the step still
  // reports success.
  fs::path existing = Shortcuts().front();
  app.Settings.Desc = std::string(room + 1, 'e');
  EXPECT_TRUE(app.CreateShortcut());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Save failed!"});
  EXPECT_EQ(Shortcuts(), std::vector<std::string>{existing.string()});
}

TEST_F(ShortcutTest, MissingGameFolderIsAFailedSave) {
  app.State.TOPDIR = root / "Gone\\";
  EXPECT_TRUE(app.CreateShortcut());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Save failed!"});
  EXPECT_FALSE(FileExists(root / "Gone\\My Mod.lnk"));
}

}  // namespace
}  // namespace test
}  // namespace trilo
