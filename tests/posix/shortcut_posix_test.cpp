#include <gtest/gtest.h>

#include "platform/posix/wine_path.h"
#include "platform/shell_link.h"
#include "platform/user_path.h"
#include "shortcut_check.h"
#include "test_support.h"
#include "text/text_util.h"

namespace trilo {
namespace test {
namespace {

std::string Native(const std::string& core) { return SystemPath(core); }

TEST(WinePathFor, DriveOfThePrefixOrZ) {
  TempDir dir;
  const std::string d = Native(dir.Path());  // ends in "/"
  MakeFolder(dir / "pfx\\dosdevices");
  MakeFolder(dir / "pfx\\drive_c\\Games");
  MakeFolder(dir / "notpfx\\drive_c");

  EXPECT_EQ(WinePathFor(d + "pfx/drive_c/Games/f1_9902.exe"), "C:\\Games\\f1_9902.exe");
  EXPECT_EQ(WinePathFor(d + "pfx/drive_c/Games/"), "C:\\Games\\");
  EXPECT_EQ(WinePathFor(d + "pfx/drive_c"), "C:\\");
  EXPECT_EQ(WinePathFor(d + "pfx/dosdevices/d:/x/y.exe"), "D:\\x\\y.exe");
  // A folder called drive_c outside a prefix is just a folder.
  EXPECT_EQ(WinePathFor(d + "notpfx/drive_c/a"), "Z:" + dir.Path() + "notpfx\\drive_c\\a");
  EXPECT_EQ(WinePathFor("/opt/game/./bin/../f1_9902.exe"), "Z:\\opt\\game\\f1_9902.exe");
  EXPECT_EQ(WinePathFor("/"), "Z:\\");

  ScopedCurrentFolder in(dir / "pfx\\drive_c");
  EXPECT_EQ(WinePathFor("Games/f1_9902.exe"), "C:\\Games\\f1_9902.exe");
}

// The line trilo-setup shows after an install: the shortcut's target and
// arguments as a command for the shell.
TEST(WineCommandLine, StartsTheGameAsTheShortcutWould) {
  TempDir dir;
  const std::string d = Native(dir.Path());
  MakeFolder(dir / "pfx\\dosdevices");
  MakeFolder(dir / "pfx\\drive_c\\Games\\F1");
  MakeFolder(dir / "Mods\\It's mine");
  const struct {
    std::string target, arguments, folder, line;
  } cases[] = {
      {dir / "pfx\\drive_c\\Games\\F1\\f1_9902.exe", " config=Mod.ini", dir / "pfx\\drive_c\\Games\\F1\\",
       "cd " + d + "pfx/drive_c/Games/F1/ && WINEPREFIX=" + d + "pfx wine 'C:\\Games\\F1\\f1_9902.exe' config=Mod.ini"},
      // Outside a prefix Wine reaches the game through Z:; the arguments are
      // split as the game will split them, and quoted for the shell.
      {dir / "Mods\\It's mine\\f1_9902.exe", " config=\"My Mod.ini\" -x", dir / "Mods\\It's mine\\",
       "cd '" + d + "Mods/It'\\''s mine/' && wine 'Z:" + dir.Path() +
           "Mods\\It'\\''s mine\\f1_9902.exe' 'config=My Mod.ini' -x"},
      {dir / "pfx\\drive_c\\Games\\F1\\f1_9902.exe", " config=", dir / "pfx\\drive_c\\Games\\F1\\",
       "cd " + d + "pfx/drive_c/Games/F1/ && WINEPREFIX=" + d + "pfx wine 'C:\\Games\\F1\\f1_9902.exe' config="},
  };
  for (const auto& c : cases) EXPECT_EQ(WineCommandLine(c.target, c.arguments, c.folder), c.line);
}

TEST(WriteShellLinkPosix, GameInsideAWinePrefixShowsDriveC) {
  TempDir dir;
  MakeFolder(dir / "pfx\\dosdevices");
  MakeFolder(dir / "pfx\\drive_c\\Game");
  const std::string game = dir / "pfx\\drive_c\\Game\\";
  WriteFile(game + "f1_9902.exe", "MZ");
  std::vector<std::string> messages;
  // The core spells names in any case; the shortcut shows them as they are.
  EXPECT_TRUE(WriteShellLink(dir / "pfx\\drive_c\\GAME\\F1_9902.EXE", game + "Mod.lnk", game, " config=m.ini",
                             game + "icon.ico", "Mod", messages));
  EXPECT_TRUE(messages.empty());
  ExpectShortcut(game + "Mod.lnk", {"C:\\Game\\f1_9902.exe", "Mod", "C:\\Game\\", " config=m.ini", "C:\\Game\\icon.ico"});
}

TEST(WriteShellLinkPosix, PropertyTooLongIsReportedAndTheRestSaved) {
  TempDir dir;
  WriteFile(dir / "f1_9902.exe", "MZ");
  std::vector<std::string> messages;
  const std::string huge(70000, 'a');
  EXPECT_TRUE(WriteShellLink(dir / "f1_9902.exe", dir / "x.lnk", huge, huge, dir / "i.ico", huge, messages));
  EXPECT_EQ(messages, (std::vector<std::string>{"SetDescription failed!", "SetWorkingDirectory failed!",
                                                "SetArguments failed!"}));
  ExpectShortcut(dir / "x.lnk", {ShownPath(dir / "f1_9902.exe"), "", "", "", ShownPath(dir / "i.ico")});
}

}  // namespace
}  // namespace test
}  // namespace trilo
