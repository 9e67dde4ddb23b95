#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "install/installer_app.h"
#include "gamedb_test_util.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

TEST(GameDatabaseWin, ADatabaseHeldByAnotherProgramIsNotReplaced) {
  TempDir dir;
  const std::string seasons = dir / "Game\\Seasons\\";
  const std::string package = dir / "Package\\";
  MakeFolder(seasons);
  MakeFolder(package);
  const std::string original = "SeasonRaces\r\n{\r\n  Old\r\n  {\r\n  }\r\n}\r\n";
  WriteFile(seasons + "game.gdb", original);
  WriteFile(package + "gdb.txt", "SeasonRaces { New { } }\n");
  // As the running game would: others may read the file, nobody may write it.
  HANDLE held = CreateFileA((seasons + "game.gdb").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  ScriptedInteraction ui;
  InstallerApp app(ui);
  app.WorkingDir = package;
  app.State.TOPDIR = dir / "Game\\";
  app.State.OLDSEASONDIR = "Seasons\\";
  EXPECT_FALSE(app.MergeGameDatabase());
  CloseHandle(held);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening game.gdb file for writing"});
  EXPECT_EQ(ReadFile(seasons + "game.gdb"), original);
  EXPECT_EQ(ReadFile(seasons + "game.gdb.bak"), original);
  EXPECT_EQ(ListFolder(seasons), (std::vector<std::string>{"game.gdb", "game.gdb.bak"}));
}

}  // namespace
}  // namespace test
}  // namespace trilo
