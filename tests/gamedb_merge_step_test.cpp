#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/installer_app.h"
#include "platform/filesystem.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

using Messages = std::vector<std::string>;

const char kGameGdb[] =
    "// Season 1999\r\n"
    "DefaultScoring\r\n{\r\n  Points = 10 6 4\r\n}\r\n"
    "SeasonRaces\r\n{\r\n  Melbourne\r\n  {\r\n    Laps = 58\r\n  }\r\n}\r\n"
    "F1_Circuit_Race_Times\r\n{\r\n  Melbourne = 1:30.123\r\n}\r\n"
    "Circuit_Settings_Folder_Create_Actions\r\n{\r\n  Melbourne\r\n  {\r\n    Create = AUS\r\n  }\r\n}\r\n"
    "SeasonScoringInfo\r\n{\r\n  Season = 1999\r\n}\r\n";

const char kPackageGdb[] =
    "SeasonRaces\n{\n  Melbourne\n  {\n    Laps = 99\n  }\n  Monaco\n  {\n    Laps = 78\n  }\n}\n"
    "F1_Circuit_Race_Times\n{\n  Melbourne = 9:99.999\n  Monaco = 1:20.000\n}\n"
    "F1_Circuit_Qualify_Times\n{\n  Monaco = 1:19.000\n}\n"
    "Circuit_Settings_Folder_Create_Actions\n{\n  Monaco\n  {\n    Create = MON\n  }\n}\n"
    "DefaultScoring\n{\n  Points = 1\n}\n";

// The merged file after `runs` runs: each run puts one more space before
// the closing brace of every named block.
std::string Merged(int runs, bool folderActions = true) {
  const std::string close = std::string(2 + runs, ' ') + "}\r\n";
  std::string out =
      "DefaultScoring\r\n{\r\n  Points = 10 6 4\r\n}\r\n\r\n"
      "SeasonRaces\r\n{\r\n"
      "  Melbourne\r\n  {\r\n    Laps = 58\r\n" + close +
      "  Monaco\r\n  {\r\n    Laps = 78\r\n" + close +
      "}\r\n\r\n"
      "F1_Circuit_Race_Times\r\n{\r\n  Melbourne = 1:30.123\r\n  Monaco = 1:20.000\r\n}\r\n\r\n"
      "F1_Circuit_AI_Qual_Setup_Wetness00\r\n{\r\n}\r\n\r\n"
      "F1_Circuit_AI_Race_Setup_Wetness00\r\n{\r\n}\r\n\r\n"
      "F1_Circuit_Qualify_Times\r\n{\r\n  Monaco = 1:19.000\r\n}\r\n\r\n";
  if (folderActions)
    out += "Circuit_Settings_Folder_Create_Actions\r\n{\r\n"
           "  Melbourne\r\n  {\r\n    Create = AUS\r\n" + close +
           "  Monaco\r\n  {\r\n    Create = MON\r\n" + close + "}\r\n\r\n";
  return out + "SeasonScoringInfo\r\n{\r\n  Season = 1999\r\n}\r\n";
}

class MergeGameDatabaseStep : public ::testing::Test {
 protected:
  MergeGameDatabaseStep() : away(dir.Path()), app(ui) {
    game = dir / "Game\\";
    package = dir / "Package\\";
    MakeFolder(game + "Seasons");
    MakeFolder(package);
    app.WorkingDir = package;
    app.State.TOPDIR = game;
    app.State.OLDSEASONDIR = "Seasons\\";
    app.Settings.GDB = 1;
    app.Settings.Version2002 = 1;
    database = game + "Seasons\\game.gdb";
    backup = database + ".bak";
  }

  TempDir dir;
  ScopedCurrentFolder away;  // the step must find its way back to the package
  ScriptedInteraction ui;
  InstallerApp app;
  std::string game, package, database, backup;
};

TEST_F(MergeGameDatabaseStep, AddsThePackageCircuitsAfterBackingUp) {
  WriteFile(database, kGameGdb);
  WriteFile(package + "gdb.txt", kPackageGdb);
  ASSERT_TRUE(app.MergeGameDatabase());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ReadFile(database), Merged(1));
  EXPECT_EQ(ReadFile(backup), kGameGdb);
  EXPECT_EQ(ReadFile(package + "gdb.txt"), kPackageGdb);
  EXPECT_EQ(GetCurrentFolder() + "\\", package);
}

TEST_F(MergeGameDatabaseStep, ASecondRunAddsNothingButEveryBraceGainsASpace) {
  WriteFile(database, kGameGdb);
  WriteFile(package + "gdb.txt", kPackageGdb);
  ASSERT_TRUE(app.MergeGameDatabase());
  ASSERT_TRUE(app.MergeGameDatabase());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ReadFile(database), Merged(2));
  EXPECT_EQ(ReadFile(backup), Merged(1));
}

TEST_F(MergeGameDatabaseStep, WithoutVersion2002TheFolderActionsAreDropped) {
  app.Settings.Version2002 = 0;
  WriteFile(database, kGameGdb);
  WriteFile(package + "gdb.txt", kPackageGdb);
  ASSERT_TRUE(app.MergeGameDatabase());
  EXPECT_EQ(ReadFile(database), Merged(1, false));
}

TEST_F(MergeGameDatabaseStep, TheSelectedVersionPicksItsOwnSourceWithNoFallback) {
  WriteFile(database, kGameGdb);
  WriteFile(package + "gdb.txt", "SeasonRaces { Plain { } }\n");
  WriteFile(package + "Wet.gdb.txt", "SeasonRaces { Versioned { } }\n");
  app.State.SelectedVersion = "Wet";
  ASSERT_TRUE(app.MergeGameDatabase());
  std::string out = ReadFile(database);
  EXPECT_NE(out.find("  Versioned\r\n"), std::string::npos);
  EXPECT_EQ(out.find("Plain"), std::string::npos);

  app.State.SelectedVersion = "Dry";
  WriteFile(database, kGameGdb);
  EXPECT_FALSE(app.MergeGameDatabase());
  EXPECT_EQ(ui.messages, (Messages{"Error opening game.gdb file for reading", "Couldn't read source game.gdb file"}));
  EXPECT_EQ(ReadFile(database), kGameGdb);
  EXPECT_EQ(ReadFile(backup), kGameGdb);
}

TEST_F(MergeGameDatabaseStep, AVersionTooLongForTheSourceNameIsRefusedBeforeAnything) {
  WriteFile(database, kGameGdb);
  WriteFile(package + "gdb.txt", kPackageGdb);
  app.State.SelectedVersion = std::string(248, 'v');  // 248 + ".gdb.txt" is 256 characters
  EXPECT_FALSE(app.MergeGameDatabase());
  EXPECT_EQ(ui.messages, Messages{"Couldn't read source game.gdb file"});
  EXPECT_EQ(ReadFile(database), kGameGdb);
  EXPECT_FALSE(FileExists(backup));
}

TEST_F(MergeGameDatabaseStep, NoDatabaseToBackUp) {
  WriteFile(package + "gdb.txt", kPackageGdb);
  EXPECT_FALSE(app.MergeGameDatabase());
  EXPECT_EQ(ui.messages, Messages{"Failed to back up old game.gdb file"});
  EXPECT_FALSE(FileExists(database));
  EXPECT_FALSE(FileExists(backup));
}

TEST_F(MergeGameDatabaseStep, ACutDatabaseIsNeitherMergedNorRewritten) {
  const std::string cut = std::string(kGameGdb).substr(0, 120);
  WriteFile(database, cut);
  WriteFile(package + "gdb.txt", kPackageGdb);
  EXPECT_FALSE(app.MergeGameDatabase());
  EXPECT_EQ(ui.messages, (Messages{"Unexpected end of game.gdb file", "Couldn't read old game.gdb file"}));
  EXPECT_EQ(ReadFile(database), cut);
  EXPECT_EQ(ReadFile(backup), cut);
}

TEST_F(MergeGameDatabaseStep, SourceFailuresLeaveTheDatabaseAsItWas) {
  WriteFile(database, kGameGdb);
  EXPECT_FALSE(app.MergeGameDatabase());  // no gdb.txt in the package
  EXPECT_EQ(ui.messages, (Messages{"Error opening game.gdb file for reading", "Couldn't read source game.gdb file"}));
  EXPECT_EQ(ReadFile(database), kGameGdb);
  EXPECT_EQ(ReadFile(backup), kGameGdb);

  ui.messages.clear();
  WriteFile(package + "gdb.txt", "SeasonRaces { Monaco { Laps = 78");
  EXPECT_FALSE(app.MergeGameDatabase());
  EXPECT_EQ(ui.messages, (Messages{"Unexpected end of game.gdb file", "Couldn't read source game.gdb file"}));
  EXPECT_EQ(ReadFile(database), kGameGdb);
}

TEST_F(MergeGameDatabaseStep, TooManyCircuitsLeaveTheDatabaseAsItWas) {
  std::string many = "SeasonRaces {\n";
  for (int i = 0; i < 999; ++i) many += "  Old" + std::to_string(i) + " { }\n";
  many += "}\n";
  WriteFile(database, many);
  WriteFile(package + "gdb.txt", "SeasonRaces { New1 {} New2 {} }\n");
  EXPECT_FALSE(app.MergeGameDatabase());
  EXPECT_EQ(ui.messages, Messages{"Too many circuits in game.gdb file"});
  EXPECT_EQ(ReadFile(database), many);
}

}  // namespace
}  // namespace test
}  // namespace trilo
