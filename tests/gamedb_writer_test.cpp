#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/game_database.h"
#include "gamedb_test_util.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

std::unique_ptr<GameDatabase> Parse(const std::string& text) {
  auto db = std::make_unique<GameDatabase>();
  EXPECT_EQ(db->ReadString(text), GdbError::None) << text;
  return db;
}

// Sections in another order than written; the qualifying times come before
// the circuits they name and are lost.
const char kInstalled[] =
    "SeasonScoringInfo\n{\n  Season = 1999\n}\n"
    "F1_Circuit_Qualify_Times\n{\n  Melbourne = 1:26.000 // pole\n  Nowhere = 0\n}\n"
    "SeasonRaces\n{\n  Melbourne\n  {\n    Laps = 58\n  }\n  Interlagos { Laps = 71 }\n}\n"
    "F1_Circuit_Race_Times\n{\n  Interlagos=1:14.300\n  Melbourne = 1:30.123\n}\n"
    "F1_Circuit_AI_Race_Setup_Wetness00\n{\n  Interlagos = 2 3 4\n}\n"
    "F1_Circuit_AI_Qual_Setup_Wetness00\n{\n  Melbourne = 5 6 7\n}\n"
    "Circuit_Settings_Folder_Create_Actions\n{\n  Melbourne\n  {\n    Create = AUS\n  }\n}\n"
    "DefaultScoring\n{\n  Points = 10 6 4 3 2 1\n}\n";

const char kWrittenHead[] =
    "DefaultScoring\r\n{\r\n  Points = 10 6 4 3 2 1\r\n}\r\n\r\n"
    "SeasonRaces\r\n{\r\n"
    "  Melbourne\r\n  {\r\n    Laps = 58\r\n   }\r\n"
    "  Interlagos\r\n  { Laps = 71  }\r\n"
    "}\r\n\r\n"
    "F1_Circuit_Race_Times\r\n{\r\n  Melbourne = 1:30.123\r\n  Interlagos = 1:14.300\r\n}\r\n\r\n"
    "F1_Circuit_AI_Qual_Setup_Wetness00\r\n{\r\n  Melbourne = 5 6 7\r\n}\r\n\r\n"
    "F1_Circuit_AI_Race_Setup_Wetness00\r\n{\r\n  Interlagos = 2 3 4\r\n}\r\n\r\n"
    "F1_Circuit_Qualify_Times\r\n{\r\n}\r\n\r\n";
const char kWrittenFolders[] =
    "Circuit_Settings_Folder_Create_Actions\r\n{\r\n  Melbourne\r\n  {\r\n    Create = AUS\r\n   }\r\n}\r\n\r\n";
const char kWrittenTail[] = "SeasonScoringInfo\r\n{\r\n  Season = 1999\r\n}\r\n";

TEST(GameDatabaseWrite, WritesTheFixedLayoutWithCrLf) {
  TempDir dir;
  auto db = Parse(kInstalled);
  ASSERT_TRUE(WriteGameDatabaseFile(*db, dir / "game.gdb", true));
  EXPECT_EQ(ReadFile(dir / "game.gdb"), std::string(kWrittenHead) + kWrittenFolders + kWrittenTail);
  EXPECT_EQ(db->WriteString(true), ReadFile(dir / "game.gdb"));

  // Without the folder actions the section is left out, though it was read.
  ASSERT_TRUE(WriteGameDatabaseFile(*db, dir / "game.gdb", false));
  EXPECT_EQ(ReadFile(dir / "game.gdb"), std::string(kWrittenHead) + kWrittenTail);
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"game.gdb"});
}

TEST(GameDatabaseWrite, EmptyDatabaseGivesEveryFrame) {
  GameDatabase empty;
  const std::string frames =
      "DefaultScoring\r\n{}\r\n\r\n"
      "SeasonRaces\r\n{\r\n}\r\n\r\n"
      "F1_Circuit_Race_Times\r\n{\r\n}\r\n\r\n"
      "F1_Circuit_AI_Qual_Setup_Wetness00\r\n{\r\n}\r\n\r\n"
      "F1_Circuit_AI_Race_Setup_Wetness00\r\n{\r\n}\r\n\r\n"
      "F1_Circuit_Qualify_Times\r\n{\r\n}\r\n\r\n";
  EXPECT_EQ(empty.WriteString(false), frames + "SeasonScoringInfo\r\n{}\r\n");
  EXPECT_EQ(empty.WriteString(true),
            frames + "Circuit_Settings_Folder_Create_Actions\r\n{\r\n}\r\n\r\nSeasonScoringInfo\r\n{}\r\n");
  // Circuits with no folder actions still give the (empty) section.
  auto db = Parse("SeasonRaces { A {} }\nCircuit_Settings_Folder_Create_Actions { A {} }");
  EXPECT_NE(db->WriteString(true).find("Circuit_Settings_Folder_Create_Actions\r\n{\r\n}\r\n\r\n"),
            std::string::npos);
}

TEST(GameDatabaseWrite, ValueLinesFollowTheTableNotTheFile) {
  auto db = Parse(
      "SeasonRaces { B {} A {} C {} }\n"
      "F1_Circuit_Race_Times {\n  A = 1\n  X = 9 // not listed\n  B = 2\n}\n"
      "F1_Circuit_Qualify_Times {\n  C = 3\n}\n");
  const std::string out = db->WriteString(false);
  EXPECT_NE(out.find("F1_Circuit_Race_Times\r\n{\r\n  B = 2\r\n  A = 1\r\n}\r\n\r\n"), std::string::npos) << out;
  EXPECT_NE(out.find("F1_Circuit_Qualify_Times\r\n{\r\n  C = 3\r\n}\r\n\r\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("X"), std::string::npos);
  EXPECT_EQ(out.find("//"), std::string::npos);
}

TEST(GameDatabaseWrite, EveryLineEndOfStoredTextReachesTheDiskAsCrLf) {
  // Read: LF, a lone CR, CR CR LF (a CR then a line end), ^Z and NUL.
  std::string stored = std::string("SeasonRaces { A {\r\n1\r2\r\r\n3\x1a") + '\0' + "} }";
  auto db = Parse(stored);
  ASSERT_NE(db->Find("A"), nullptr);
  const std::string out = db->WriteString(false);
  std::string expect = std::string("  A\r\n  {\r\n1\r2\r\r\n3\x1a") + '\0' + " }\r\n";
  EXPECT_NE(out.find(expect), std::string::npos);
  // No LF goes out alone.
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\n') {
      ASSERT_TRUE(i > 0 && out[i - 1] == '\r') << i;
    }
  }
}

TEST(GameDatabaseWrite, ReplacesAnExistingFileAndLeavesNothingBeside) {
  TempDir dir;
  WriteFile(dir / "game.gdb", std::string(100000, 'o'));
  auto db = Parse("SeasonRaces { A {} }");
  ASSERT_TRUE(WriteGameDatabaseFile(*db, dir / "game.gdb", true));
  EXPECT_EQ(ReadFile(dir / "game.gdb"), db->WriteString(true));
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"game.gdb"});
}

TEST(GameDatabaseWrite, OpenFailureIsReportedAndNothingIsWritten) {
  TempDir dir;
  GameDatabase db;
  EXPECT_EQ(Shown(GdbWriteError(WriteGameDatabaseFile(db, dir / "missing\\game.gdb", true))),
            std::vector<std::string>{"Error opening game.gdb file for writing"});

  // A folder where the file should be.
  MakeFolder(dir / "game.gdb");
  WriteFile(dir / "game.gdb\\keep.txt", "kept");
  EXPECT_EQ(Shown(GdbWriteError(WriteGameDatabaseFile(db, dir / "game.gdb", true))),
            std::vector<std::string>{"Error opening game.gdb file for writing"});
  EXPECT_EQ(ReadFile(dir / "game.gdb\\keep.txt"), "kept");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"game.gdb"});
}

// ---------------------------------------------------------------------------

TEST(GameDatabaseMerge, TakesMissingCircuitsInSourceOrderAndKeepsTheRest) {
  const char installedText[] =
      "DefaultScoring { mine }\nSeasonRaces { X { x } Y { y } }\n"
      "F1_Circuit_Race_Times {\n  X = 1\n}\n";
  const char sourceText[] =
      "DefaultScoring { theirs }\nSeasonScoringInfo { theirs }\n"
      "SeasonRaces { Z { z } Y { y2 } W { w } }\n"
      "F1_Circuit_Race_Times {\n  Y = 2\n  Z = 3\n  W = 4\n}\n"
      "F1_Circuit_AI_Qual_Setup_Wetness00 {\n  Z = 5\n}\n"
      "Circuit_Settings_Folder_Create_Actions { Z { fz } Y { fy } }\n";
  auto installed = Parse(installedText);
  auto source = Parse(sourceText);
  ASSERT_EQ(installed->Merge(*source), GdbError::None);
  EXPECT_EQ(Describe(*installed),
            "DefaultScoring (1)\" mine \"\n"
            "SeasonScoringInfo (0)\"\"\n"
            "circuit \"X\" block (1)\" x \" race \"1\" qualify \"\" airace \"\" aiqual \"\" folders \"\"\n"
            "circuit \"Y\" block (1)\" y \" race \"\" qualify \"\" airace \"\" aiqual \"\" folders \"\"\n"
            "circuit \"Z\" block (1)\" z \" race \"3\" qualify \"\" airace \"\" aiqual \"5\" folders \" fz \"\n"
            "circuit \"W\" block (1)\" w \" race \"4\" qualify \"\" airace \"\" aiqual \"\" folders \"\"\n");
  EXPECT_NE(installed->WriteString(true).find("  X = 1\r\n  Z = 3\r\n  W = 4\r\n}"), std::string::npos);

  // The other way round the source's circuits come first and keep theirs.
  auto a = Parse(sourceText);
  auto b = Parse(installedText);
  ASSERT_EQ(a->Merge(*b), GdbError::None);
  std::vector<std::string> names;
  for (const CircuitEntry& e : a->Circuits()) names.push_back(e.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Z", "Y", "W", "X"}));
  EXPECT_EQ(a->Find("Y")->RaceBlock->Text(), " y2 ");
  EXPECT_EQ(a->Find("Y")->RaceTimes, "2");
  EXPECT_EQ(a->Find("Y")->FolderCreateActions, " fy ");
  EXPECT_EQ(a->DefaultScoring.Text(), " theirs ");
}

TEST(GameDatabaseMerge, MergedBlocksOutliveTheSource) {
  GameDatabase installed;
  {
    auto source = Parse("SeasonRaces { New { " + std::string(5000, 'n') + " } }");
    ASSERT_EQ(installed.Merge(*source), GdbError::None);
  }
  ASSERT_EQ(installed.CircuitCount(), 1);
  EXPECT_EQ(installed.Find("New")->RaceBlock->Text(), " " + std::string(5000, 'n') + " ");
}

TEST(GameDatabaseMerge, ATableThatWouldOverflowIsLeftAsItWas) {
  std::string races = "SeasonRaces {\n";
  for (int i = 0; i < 999; ++i) races += "  C" + std::to_string(i) + " {}\n";
  auto installed = Parse(races + "}");
  auto two = Parse("SeasonRaces { C5 {} New1 {} New2 {} }");
  EXPECT_EQ(Shown(installed->Merge(*two)), std::vector<std::string>{"Too many circuits in game.gdb file"});
  EXPECT_EQ(installed->CircuitCount(), 999);

  auto one = Parse("SeasonRaces { C5 {} New1 {} C6 {} }");
  EXPECT_EQ(installed->Merge(*one), GdbError::None);
  EXPECT_EQ(installed->CircuitCount(), 1000);
}

}  // namespace
}  // namespace test
}  // namespace trilo
