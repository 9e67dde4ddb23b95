#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/game_database.h"
#include "formats/gdb_drops.h"
#include "gamedb_test_util.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

const std::vector<std::string> kUnexpectedEnd = {"Unexpected end of game.gdb file"};

const CircuitEntry& Circuit(const GameDatabase& db, const std::string& name) {
  static const CircuitEntry kMissing{"<missing>", nullptr, "", "", "", "", ""};
  const CircuitEntry* e = db.Find(name);
  EXPECT_NE(e, nullptr) << name;
  return e ? *e : kMissing;
}

std::string Block(const GameDatabase& db, const std::string& name) {
  const CircuitEntry& e = Circuit(db, name);
  return e.RaceBlock ? e.RaceBlock->Text() : "<no block>";
}

// A database laid out the way the game's own file is, sections out of the
// written order, with comments.
const char kSample[] =
    "// season database\n"
    "DefaultScoring\n"
    "{\n"
    "  Points = 10 6 4 3 2 1 // top six\n"
    "}\n"
    "\n"
    "SeasonRaces\n"
    "{\n"
    "  Melbourne\n"
    "  {\n"
    "    Laps = 58\n"
    "    Track = AUS\n"
    "  }\n"
    "  Interlagos { Laps = 71 }\n"
    "}\n"
    "\n"
    "F1_Circuit_Qualify_Times\n"
    "{\n"
    "  Melbourne = 1:26.000\n"
    "}\n"
    "F1_Circuit_Race_Times\n"
    "{\n"
    "  Melbourne = 1:30.123\n"
    "  Interlagos=1:14.300\n"
    "}\n"
    "F1_Circuit_AI_Race_Setup_Wetness00\n"
    "{\n"
    "  Interlagos = 2 3 4\n"
    "}\n"
    "F1_Circuit_AI_Qual_Setup_Wetness00\n"
    "{\n"
    "  Melbourne = 5 6 7\n"
    "}\n"
    "Circuit_Settings_Folder_Create_Actions\n"
    "{\n"
    "  Melbourne\n"
    "  {\n"
    "    Create = AUS\n"
    "  }\n"
    "}\n"
    "SeasonScoringInfo\n"
    "{\n"
    "  Season = 1999\n"
    "}\n";

TEST(GameDatabaseRead, StoresEachSectionWhereItBelongs) {
  ReadOutcome r = ReadGdb(kSample);
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.messages.empty());
  const GameDatabase& db = *r.db;
  EXPECT_EQ(db.DefaultScoring.Text(), "\n  Points = 10 6 4 3 2 1 \n");
  EXPECT_EQ(db.SeasonScoringInfo.Text(), "\n  Season = 1999\n");
  ASSERT_EQ(db.CircuitCount(), 2);
  EXPECT_EQ(db.Circuits()[0].Name, "Melbourne");
  EXPECT_EQ(db.Circuits()[1].Name, "Interlagos");
  EXPECT_EQ(Block(db, "Melbourne"), "\n    Laps = 58\n    Track = AUS\n  ");
  EXPECT_EQ(Block(db, "Interlagos"), " Laps = 71 ");

  const CircuitEntry& m = Circuit(db, "Melbourne");
  EXPECT_EQ(m.RaceTimes, "1:30.123");
  EXPECT_EQ(m.QualifyTimes, "1:26.000");
  EXPECT_EQ(m.AIRaceSetup, "");
  EXPECT_EQ(m.AIQualSetup, "5 6 7");
  EXPECT_EQ(m.FolderCreateActions, "\n    Create = AUS\n  ");
  const CircuitEntry& i = Circuit(db, "Interlagos");
  EXPECT_EQ(i.RaceTimes, "1:14.300");
  EXPECT_EQ(i.QualifyTimes, "");
  EXPECT_EQ(i.AIRaceSetup, "2 3 4");
  EXPECT_EQ(i.FolderCreateActions, "");
}

TEST(GameDatabaseRead, EmptyAndCommentOnlyInputsGiveAnEmptyDatabase) {
  for (const char* text : {"", " \t\n\n", "// nothing here\n", "\r\n  // a\r\n// b\n\n",
                           "// last line without its end", "DefaultScoring{x}\n// trailing note"}) {
    ReadOutcome r = ReadGdb(text);
    EXPECT_TRUE(r.ok) << text;
    EXPECT_TRUE(r.messages.empty()) << text;
    EXPECT_EQ(r.db->CircuitCount(), 0) << text;
    EXPECT_EQ(r.db->SeasonScoringInfo.ChunkCount(), 0) << text;
  }
}

TEST(GameDatabaseRead, HeaderMayBeFollowedByBlanksCommentsAndLineEnds) {
  for (const char* text : {"SeasonRaces{A{x}}", "SeasonRaces \t {A{x}}", "SeasonRaces\n\n\n{A{x}}",
                           "SeasonRaces // the races\n{A{x}}", " \n\tSeasonRaces\r\n{A{x}}\r\n",
                           "SeasonRaces\x0b\x0c\r{A{x}}"}) {
    ReadOutcome r = ReadGdb(text);
    ASSERT_TRUE(r.ok) << text;
    ASSERT_EQ(r.db->CircuitCount(), 1) << text;
    EXPECT_EQ(Block(*r.db, "A"), "x") << text;
  }
}

TEST(GameDatabaseRead, OtherHeadersAreSkippedWholeIncludingTheirBraces) {
  for (const char* header : {"seasonraces", "SeasonRaces2", "Season Races", "xSeasonRaces", "Season//x\nRaces",
                             ""}) {
    std::string text = std::string(header) + " { A { x } }\nF1_Circuit_Race_Times { A = 1\n}";
    ReadOutcome r = ReadGdb(text);
    EXPECT_TRUE(r.ok) << header;
    EXPECT_EQ(r.db->CircuitCount(), 0) << header;
  }
  // Nothing inside a skipped section is taken for a header of its own.
  ReadOutcome r = ReadGdb(
      "Mystery\n{\n  SeasonRaces { B { y } }\n  DefaultScoring { z }\n}\n"
      "SeasonRaces { A { x } }\n");
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.db->CircuitCount(), 1);
  EXPECT_EQ(r.db->Circuits()[0].Name, "A");
  EXPECT_EQ(r.db->DefaultScoring.ChunkCount(), 0);
}

TEST(GameDatabaseRead, ValuesAttachOnlyToCircuitsAlreadyListed) {
  ReadOutcome r = ReadGdb(
      "F1_Circuit_Race_Times { A = early\n}\n"
      "Circuit_Settings_Folder_Create_Actions { A { early } }\n"
      "SeasonRaces { A { x } }\n"
      "F1_Circuit_Qualify_Times {\n  A = 2\n  Nowhere = 3\n}\n"
      "Circuit_Settings_Folder_Create_Actions { Nowhere { n } A { late } }\n");
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.db->CircuitCount(), 1);
  const CircuitEntry& a = Circuit(*r.db, "A");
  EXPECT_EQ(a.RaceTimes, "");
  EXPECT_EQ(a.QualifyTimes, "2");
  EXPECT_EQ(a.FolderCreateActions, " late ");
}

TEST(GameDatabaseRead, ValueLineForms) {
  ReadOutcome r = ReadGdb(
      "SeasonRaces { A{} B{} C{} D{} E{} F{} G{} H{} I{} J{} K{} L{} M{} }\n"
      "F1_Circuit_Race_Times\n{\n"
      "  A = 1:30.0   \n"        // spaces before the line end are kept
      "B=2\n"                    // no blanks around "="
      "  C = 3\tD = 4\n"         // a TAB ends the value; the rest is the next line
      "  E 5x\n"                 // no "=": the first character is the separator
      "  F =\n\n   G = 7\n"      // nothing after "=": the next line is the value
      "  H = 8}\n"               // a "}" at the end is part of the value
      "  I = 9\n"
      "  J = 10// note\n"        // a comment ends the value
      "  K = 11 // note\n"       // ... and a blank before it stays
      "  L\n  =  12\n"           // a line end after the name
      "  M = a=b  c\n"
      "}\n");
  ASSERT_TRUE(r.ok);
  const GameDatabase& db = *r.db;
  EXPECT_EQ(Circuit(db, "A").RaceTimes, "1:30.0   ");
  EXPECT_EQ(Circuit(db, "B").RaceTimes, "2");
  EXPECT_EQ(Circuit(db, "C").RaceTimes, "3");
  EXPECT_EQ(Circuit(db, "D").RaceTimes, "4");
  EXPECT_EQ(Circuit(db, "E").RaceTimes, "x");
  EXPECT_EQ(Circuit(db, "F").RaceTimes, "G = 7");
  EXPECT_EQ(Circuit(db, "G").RaceTimes, "");
  EXPECT_EQ(Circuit(db, "H").RaceTimes, "8}");
  EXPECT_EQ(Circuit(db, "I").RaceTimes, "9");
  EXPECT_EQ(Circuit(db, "J").RaceTimes, "10");
  EXPECT_EQ(Circuit(db, "K").RaceTimes, "11 ");
  EXPECT_EQ(Circuit(db, "L").RaceTimes, "12");
  EXPECT_EQ(Circuit(db, "M").RaceTimes, "a=b  c");
}

// A circuit's name may hold blanks, and the writer writes its value lines
// so: the text up to the line's "=" is the name when it names a circuit.
TEST(GameDatabaseRead, NamesWithBlanksTakeTheirValueLines) {
  ReadOutcome r = ReadGdb(
      "SeasonRaces { Albert Park { Laps = 58 } Albert { a } Ring\tRoad { r } Spa { s } }\n"
      "F1_Circuit_Race_Times\n{\n"
      "  Albert Park = 1:28.214\n"      // the longer name wins over "Albert"
      "  Albert = 1:00.000\n"
      "  Ring\tRoad   =  2 // note\n"   // a TAB inside, blanks around "=", a comment
      "  Nowhere Land = 3\n"            // no circuit: dropped as before
      "}\n"
      "F1_Circuit_Qualify_Times\n{\n  Albert Park = 1:25.843\t// pole\n  Spa Francorchamps = 4\n}\n"
      "F1_Circuit_AI_Race_Setup_Wetness00\n{\n  Albert Park = Setups\\race.svm\n  Ring\tRoad 5x\n}\n"
      "F1_Circuit_AI_Qual_Setup_Wetness00\n{\n  Albert Park = Setups\\qual.svm\n  Albert Parkway = 6\n}\n"
      "Circuit_Settings_Folder_Create_Actions\n{\n  Albert Park\n  {\n    Copy = x\n  }\n}\n");
  ASSERT_TRUE(r.ok);
  const GameDatabase& db = *r.db;
  const CircuitEntry& park = Circuit(db, "Albert Park");
  EXPECT_EQ(park.RaceTimes, "1:28.214");
  EXPECT_EQ(park.QualifyTimes, "1:25.843");
  EXPECT_EQ(park.AIRaceSetup, "Setups\\race.svm");
  EXPECT_EQ(park.AIQualSetup, "Setups\\qual.svm");
  EXPECT_EQ(park.FolderCreateActions, "\n    Copy = x\n  ");
  EXPECT_EQ(Circuit(db, "Albert").RaceTimes, "1:00.000");
  // A text that names no circuit leaves the old rule: one character after
  // the blanks is the separator, whatever it is.
  EXPECT_EQ(Circuit(db, "Albert").AIQualSetup, "arkway = 6");
  EXPECT_EQ(Circuit(db, "Ring\tRoad").RaceTimes, "2 ");
  EXPECT_EQ(Circuit(db, "Ring\tRoad").AIRaceSetup, "");  // no "=": "Ring" is no circuit
  EXPECT_EQ(Circuit(db, "Spa").QualifyTimes, "rancorchamps = 4");
  EXPECT_EQ(db.CircuitCount(), 4);
}

// Everything the reader does not keep, each at the line it begins on.
TEST(GameDatabaseRead, TheDropFinderNamesWhatARewriteLeavesOut) {
  const std::string text =
      "DefaultScoring { a }\n"                                   // 1
      "SeasonRaces {\n  A { }\n  A { }\n  B=C { }\n}\n"           // 2-6: line 4 again, line 5 unfit
      "F1_Circuit_Race_Times {\n  A = 1 // one\n"                 // 7-8: line 8 replaced by line 12
      "DefaultScoring { b }\n"                                   // 9: a value line, in a value section
      "}\nF1_Circuit_Race_Times {\n  A = 2\n  Z = 3\n}\n"          // 10-14: line 13 no circuit
      "Weather { Rain = 0 }\n"                                   // 15
      "Circuit_Settings_Folder_Create_Actions { Z { } }\n";      // 16
  struct {
    bool folderActions;
    std::vector<std::string> drops;
  } cases[] = {
      {true, {"4 RepeatedCircuit A 3", "8 Replaced A 12", "9 ValueLine DefaultScoring 0", "13 ValueLine Z 0",
              "15 UnknownSection Weather 0", "16 SettingsBlock Z 0"}},
      {false, {"4 RepeatedCircuit A 3", "8 Replaced A 12", "9 ValueLine DefaultScoring 0", "13 ValueLine Z 0",
               "15 UnknownSection Weather 0", "16 FolderActions Circuit_Settings_Folder_Create_Actions 0"}},
  };
  const char* const kKinds[] = {"ValueLine", "SettingsBlock", "RepeatedCircuit", "UnknownSection", "Replaced",
                                "FolderActions"};
  for (const auto& c : cases) {
    GdbDropFinder found(c.folderActions);
    GameDatabase db;
    ASSERT_EQ(db.ReadString(text, &found), GdbError::None);
    std::vector<std::string> drops;
    for (const GdbDrop& d : found.Drops())
      drops.push_back(std::to_string(d.line) + " " + kKinds[static_cast<int>(d.kind)] + " " + d.name + " " +
                      std::to_string(d.other));
    EXPECT_EQ(drops, c.drops) << c.folderActions;
    EXPECT_EQ(found.UnfitNames(), (std::vector<std::pair<std::string, int>>{{"B=C", 5}}));
    EXPECT_EQ(found.CommentLines(), std::vector<int>{8});
  }
  // A scoring section given twice loses the first text.
  GdbDropFinder twice(true);
  GameDatabase db;
  ASSERT_EQ(db.ReadString("SeasonScoringInfo { a }\n\nSeasonScoringInfo { b }\n", &twice), GdbError::None);
  ASSERT_EQ(twice.Drops().size(), 1u);
  EXPECT_EQ(twice.Drops()[0].line, 1);
  EXPECT_EQ(twice.Drops()[0].other, 3);
}

TEST(GameDatabaseRead, FirstOfTwoEntriesWithOneNameWinsAndCaseCounts) {
  ReadOutcome r = ReadGdb(
      "SeasonRaces { Monza { first } monza { lower } Monza { second } }\n"
      "SeasonRaces { Monza { third } Spa { s } }\n");
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.db->CircuitCount(), 3);
  EXPECT_EQ(r.db->Circuits()[0].Name, "Monza");
  EXPECT_EQ(r.db->Circuits()[1].Name, "monza");
  EXPECT_EQ(r.db->Circuits()[2].Name, "Spa");
  EXPECT_EQ(Block(*r.db, "Monza"), " first ");
  EXPECT_EQ(Block(*r.db, "monza"), " lower ");
  EXPECT_EQ(r.db->Find("MONZA"), nullptr);
}

TEST(GameDatabaseRead, NestedBracesAreKeptAndTheNextSectionReadsNormally) {
  ReadOutcome r = ReadGdb(
      "DefaultScoring {\n x { y { z } }\n}\n"
      "SeasonRaces { Long Name { p { q } r } B{{}} }\n"
      "Circuit_Settings_Folder_Create_Actions { Long Name { a { b { c } } } }\n"
      "SeasonScoringInfo{{}}\n"
      "F1_Circuit_Race_Times { B = 1\n}\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.db->DefaultScoring.Text(), "\n x { y { z } }\n");
  EXPECT_EQ(Block(*r.db, "Long Name"), " p { q } r ");
  EXPECT_EQ(Block(*r.db, "B"), "{}");
  EXPECT_EQ(Circuit(*r.db, "Long Name").FolderCreateActions, " a { b { c } } ");
  EXPECT_EQ(r.db->SeasonScoringInfo.Text(), "{}");
  EXPECT_EQ(Circuit(*r.db, "B").RaceTimes, "1");
}

TEST(GameDatabaseRead, RepeatedSectionsReplaceOrOverwrite) {
  ReadOutcome r = ReadGdb(
      "DefaultScoring { one }\nSeasonScoringInfo { s1 }\n"
      "SeasonRaces { A{} B{} }\n"
      "F1_Circuit_Race_Times { A = 1\n B = 2\n A = 3\n }\n"
      "DefaultScoring { two }\n"
      "F1_Circuit_Race_Times { B = 4\n}\n"
      "Circuit_Settings_Folder_Create_Actions { A { f1 } }\n"
      "Circuit_Settings_Folder_Create_Actions { A { f2 } }\n"
      "SeasonScoringInfo {}\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.db->DefaultScoring.Text(), " two ");
  EXPECT_EQ(r.db->SeasonScoringInfo.Text(), "");
  EXPECT_EQ(r.db->SeasonScoringInfo.ChunkCount(), 1);
  EXPECT_EQ(Circuit(*r.db, "A").RaceTimes, "3");
  EXPECT_EQ(Circuit(*r.db, "B").RaceTimes, "4");
  EXPECT_EQ(Circuit(*r.db, "A").FolderCreateActions, " f2 ");
}

TEST(GameDatabaseRead, CommentsAreRemovedEverywhereButTheirLineEndStays) {
  ReadOutcome r = ReadGdb(
      "Default// in a header\nScoring { x }\n"
      "SeasonRaces // {\n{ // {\n"
      "  A // name note\n  { a // } inside\n b/c / d }\n"
      "  // between entries\n}\n"
      "F1_Circuit_Race_Times { // {\n  A // sep\n = 1/2 // time\n}\n"
      "SeasonScoringInfo { x //\n}\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.db->DefaultScoring.ChunkCount(), 0);  // "Default\nScoring" is another section
  ASSERT_EQ(r.db->CircuitCount(), 1);
  EXPECT_EQ(Block(*r.db, "A"), " a \n b/c / d ");
  EXPECT_EQ(Circuit(*r.db, "A").RaceTimes, "1/2 ");
  EXPECT_EQ(r.db->SeasonScoringInfo.Text(), " x \n");
}

TEST(GameDatabaseRead, TextIsCutIntoChunksOf129) {
  struct {
    size_t length;
    int chunks;
    size_t lastChunk;
  } cases[] = {{0, 1, 0}, {128, 1, 128}, {129, 2, 0}, {130, 2, 1}, {258, 3, 0}};
  for (const auto& c : cases) {
    std::string text;
    for (size_t i = 0; i < c.length; ++i) text += static_cast<char>('a' + i % 26);
    ReadOutcome r = ReadGdb("SeasonRaces { A {" + text + "} }\nDefaultScoring {" + text + "}");
    ASSERT_TRUE(r.ok);
    const BlockText& block = *r.db->Find("A")->RaceBlock;
    EXPECT_EQ(block.Text(), text);
    ASSERT_EQ(block.ChunkCount(), c.chunks) << c.length;
    std::string joined;
    for (int i = 0; i < block.ChunkCount(); ++i) {
      if (i + 1 < block.ChunkCount()) {
        EXPECT_EQ(block.Chunk(i).size(), 129u);
      }
      joined += std::string(block.Chunk(i));
    }
    EXPECT_EQ(block.Chunk(c.chunks - 1).size(), c.lastChunk);
    EXPECT_EQ(joined, text);
    EXPECT_EQ(r.db->DefaultScoring.ChunkCount(), c.chunks);
  }
  GameDatabase fresh;
  EXPECT_EQ(fresh.DefaultScoring.ChunkCount(), 0);
}

TEST(GameDatabaseRead, EveryByteButCrLfIsAnOrdinaryCharacter) {
  std::string text = "DefaultScoring\r\n{\r\n a\r\n b\rc\r\r\nd\x1a" + std::string("e\0f", 3) + "\xff}\r\n";
  ReadOutcome r = ReadGdb(text);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.db->DefaultScoring.Text(), "\n a\n b\rc\r\nd\x1a" + std::string("e\0f", 3) + "\xff");
}

TEST(GameDatabaseRead, StrayWhiteSpaceAfterTheLastSectionIsNoSection) {
  for (const char* tail : {"\r", "\r\r", " \x0c\r", "\x0b"}) {
    ReadOutcome r = ReadGdb(std::string("DefaultScoring{x}\n") + tail);
    EXPECT_TRUE(r.ok) << r.messages.size();
    EXPECT_EQ(r.db->DefaultScoring.Text(), "x");
  }
}

// The input comes in blocks of 4096 bytes; these place the interesting bytes
// on both sides of the first refill.
std::string Padded(const std::string& head, size_t at, char fill = 'a') {
  std::string s = head;
  while (s.size() < at) s += fill;
  return s;
}

TEST(GameDatabaseRead, CrLfAcrossARefillReadsAsOneLineEnd) {
  std::string head = "DefaultScoring\n{";
  std::string text = Padded(head, 4095) + "\r\nb}\n";
  ReadOutcome r = ReadGdb(text);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.db->DefaultScoring.Text(), std::string(4095 - head.size(), 'a') + "\nb");

  // A lone CR at the end of a block stays; so does one before CR LF.
  r = ReadGdb(Padded(head, 4095) + "\rx}\n");
  EXPECT_EQ(r.db->DefaultScoring.Text(), std::string(4095 - head.size(), 'a') + "\rx");
  r = ReadGdb(Padded(head, 4095) + "\r\r\nx}\n");
  EXPECT_EQ(r.db->DefaultScoring.Text(), std::string(4095 - head.size(), 'a') + "\r\nx");
  // CR LF pairs inside the second block, shifted by the held-back CR.
  r = ReadGdb(Padded(head, 4095) + "\r\n" + std::string(4093, 'c') + "\r\n\r\nz}\r\n");
  EXPECT_EQ(r.db->DefaultScoring.Text(),
            std::string(4095 - head.size(), 'a') + "\n" + std::string(4093, 'c') + "\n\nz");
  // A CR that ends the file after a full block.
  r = ReadGdb(Padded(head, 4094) + "}\r");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.db->DefaultScoring.Text().size(), 4094 - head.size());
}

TEST(GameDatabaseRead, CommentOrSlashAcrossARefill) {
  std::string head = "DefaultScoring\n{";
  std::string fill(4095 - head.size(), 'a');
  ReadOutcome r = ReadGdb(Padded(head, 4095) + "//note }\n more}\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.db->DefaultScoring.Text(), fill + "\n more");

  r = ReadGdb(Padded(head, 4095) + "/x}\n");
  EXPECT_EQ(r.db->DefaultScoring.Text(), fill + "/x");
  r = ReadGdb(Padded(head, 4095) + "/}\n");
  EXPECT_EQ(r.db->DefaultScoring.Text(), fill + "/");
  r = ReadGdb(Padded(head, 4096) + "/}\n");  // the "/" opens the second block
  EXPECT_EQ(r.db->DefaultScoring.Text(), fill + "a/");
}

TEST(GameDatabaseRead, TwoBytesGivenBackAcrossARefill) {
  // Between entries a "/" is looked past (one byte given back) and then the
  // blanks end on it (a second one); here the two lie in different blocks.
  std::string head = "SeasonRaces\n{\n  A { x }\n";
  std::string text = Padded(head, 4095, ' ') + "/B { y }\n  C { z }\n}\n";
  ReadOutcome r = ReadGdb(text);
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.db->CircuitCount(), 3);
  EXPECT_EQ(r.db->Circuits()[1].Name, "/B");
  EXPECT_EQ(Block(*r.db, "/B"), " y ");

  // The same in a value section, and a comment there.
  text = Padded("SeasonRaces { /B {} C {} }\nF1_Circuit_Race_Times\n{\n", 4095, '\n') + "/B = 1\n";
  text = Padded(text, 8191, ' ') + "// c\n C = 2\n}\n";
  r = ReadGdb(text);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(Circuit(*r.db, "/B").RaceTimes, "1");
  EXPECT_EQ(Circuit(*r.db, "C").RaceTimes, "2");
}

TEST(GameDatabaseRead, InputEndingInsideASectionFails) {
  for (const char* text : {
           "SeasonRaces", "SeasonRaces {", "SeasonRaces { A", "SeasonRaces { A { x", "SeasonRaces { A { x }",
           "DefaultScoring { a { b }", "SeasonScoringInfo {", "F1_Circuit_Race_Times {",
           "F1_Circuit_Race_Times { A = 1", "SeasonRaces{A{}}F1_Circuit_Race_Times { A = 1\n",
           "F1_Circuit_Race_Times { A =", "F1_Circuit_Race_Times { A", "F1_Circuit_Race_Times { A ",
           "Circuit_Settings_Folder_Create_Actions { A { x", "Circuit_Settings_Folder_Create_Actions { A",
           "Mystery { a { }", "SeasonRaces { A { x // a comment without its line end",
           "DefaultScoring{x}\nSeason", "DefaultScoring{x}\n/", "DefaultScoring{x}\n\x1a"}) {
    ReadOutcome r = ReadGdb(text);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_EQ(r.messages, kUnexpectedEnd) << text;
  }
}

TEST(GameDatabaseRead, ACutDatabaseIsNeverTakenForWhole) {
  // Cut at every byte: the read succeeds only where nothing but the opening
  // comment was read, or where a section has just been closed.
  const std::string sample = kSample;
  const size_t firstLineEnd = sample.find('\n') + 1;
  int complete = 0;
  for (size_t cut = 0; cut <= sample.size(); ++cut) {
    const std::string prefix = sample.substr(0, cut);
    const std::string trimmed = prefix.substr(0, prefix.find_last_not_of(" \n") + 1);
    const bool inOpeningComment = cut <= firstLineEnd && cut != 1;  // a lone "/" is text
    const bool afterSection = trimmed.size() >= 2 && trimmed.compare(trimmed.size() - 2, 2, "\n}") == 0;
    GameDatabase db;
    const std::vector<std::string> shown = Shown(db.ReadString(prefix));
    const bool ok = shown.empty();
    if (inOpeningComment || afterSection) {
      EXPECT_TRUE(ok) << cut;
      complete += afterSection;
    } else {
      EXPECT_FALSE(ok) << cut;
      EXPECT_EQ(shown, kUnexpectedEnd) << cut;
    }
  }
  EXPECT_EQ(complete, 8 * 2 + 2);  // after each "}" and its line end, and two empty lines
}

TEST(GameDatabaseRead, TablesDoNotOverflow) {
  std::string races = "SeasonRaces {\n";
  for (int i = 0; i < 1000; ++i) races += "  C" + std::to_string(i) + " { }\n";
  ReadOutcome full = ReadGdb(races + "  C7 { again }\n}\n");
  EXPECT_TRUE(full.ok);
  EXPECT_EQ(full.db->CircuitCount(), 1000);

  ReadOutcome over = ReadGdb(races + "  C1000 { }\n}\n");
  EXPECT_FALSE(over.ok);
  EXPECT_EQ(over.messages, std::vector<std::string>{"Too many circuits in game.gdb file"});
  EXPECT_EQ(over.db->CircuitCount(), 1000);

  std::string longest(128999, 'x');
  ReadOutcome fits = ReadGdb("SeasonRaces { A {" + longest + "} }\nSeasonScoringInfo{" + longest + "}");
  ASSERT_TRUE(fits.ok);
  EXPECT_EQ(fits.db->Find("A")->RaceBlock->ChunkCount(), 1000);
  EXPECT_EQ(fits.db->SeasonScoringInfo.Text(), longest);

  const std::vector<std::string> tooLong = {"Section too long in game.gdb file"};
  for (std::string text : {"SeasonRaces { A {" + longest + "y} }", "DefaultScoring {" + longest + "{}}",
                           "SeasonScoringInfo {" + longest + "y}"}) {
    ReadOutcome r = ReadGdb(text);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.messages, tooLong);
    EXPECT_EQ(r.db->CircuitCount(), 0);
    EXPECT_EQ(r.db->DefaultScoring.ChunkCount(), 0);
  }

  // Folder actions are one string of any length.
  ReadOutcome actions = ReadGdb("SeasonRaces { A {} }\nCircuit_Settings_Folder_Create_Actions { A {" +
                                longest + longest + "} }");
  EXPECT_TRUE(actions.ok);
  EXPECT_EQ(Circuit(*actions.db, "A").FolderCreateActions.size(), 2 * longest.size());
}

TEST(GameDatabaseRead, FileThatCannotBeOpenedLeavesTheDatabaseAlone) {
  TempDir dir;
  GameDatabase db;
  ASSERT_EQ(db.ReadString("DefaultScoring{d}SeasonRaces{A{a}}"), GdbError::None);
  const std::string before = Describe(db);
  EXPECT_EQ(Shown(ReadGameDatabaseFile(dir / "missing.gdb", db)),
            std::vector<std::string>{"Error opening game.gdb file for reading"});
  EXPECT_EQ(Describe(db), before);
}

TEST(GameDatabaseRead, ASecondReadAddsToTheFirst) {
  TempDir dir;
  WriteFile(dir / "game.gdb", "SeasonRaces { B { b2 } C { c } }\nF1_Circuit_Race_Times { A = 1\n}");
  GameDatabase db;
  ASSERT_EQ(db.ReadString("SeasonRaces { A { a } B { b } }"), GdbError::None);
  ASSERT_EQ(ReadGameDatabaseFile(dir / "game.gdb", db), GdbError::None);
  ASSERT_EQ(db.CircuitCount(), 3);
  EXPECT_EQ(db.Find("B")->RaceBlock->Text(), " b ");
  EXPECT_EQ(db.Find("A")->RaceTimes, "1");
}

}  // namespace
}  // namespace test
}  // namespace trilo
