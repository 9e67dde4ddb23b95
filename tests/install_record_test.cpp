// Install records and undo: the sample installed through the Install
// handler, undone, and the game folder compared as a whole tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "formats/install_manifest.h"
#include "install/install_flow.h"
#include "install/install_record.h"
#include "install/interface_text.h"
#include "platform/filesystem.h"
#include "platform/replacing_file.h"
#include "platform/user_path.h"
#include "record_tree.h"
#include "test_support.h"
#include "text/text_util.h"

namespace trilo {
namespace test {
namespace {

namespace fs = std::filesystem;

TEST(InstallManifest, LinesReadBackAndACutLastLineIsNotAnEntry) {
  RecordHeader header;
  header.title = "100% Mod";
  header.package = "C:\\pkg\\";
  header.version = "Full";
  const std::string headerText = ManifestHeaderText(header);
  EXPECT_EQ(headerText.substr(kManifestStateOffset, kManifestStateWidth), "cut short");

  std::vector<RecordEntry> entries(4);
  entries[0] = {RecordAction::CreatedFolder, "Mod", "", false, 0, 0};
  entries[1] = {RecordAction::CreatedFile, "Mod\\a\tb%.txt", "", true, 12, 0x0123456789abcdefull};
  entries[2] = {RecordAction::ReplacedFile, "Season\\game.gdb", "Season\\game.gdb", true, 7, 42,
                HashAlgorithm::Fnv1a64};
  entries[3] = {RecordAction::CreatedFile, "My Mod.lnk", "", false, 0, 0};
  std::string text = headerText;
  for (const RecordEntry& e : entries) text += ManifestEntryLine(e);
  text += ManifestWroteLine("my mod.LNK", 366, 99);
  text.replace(kManifestStateOffset, kManifestStateWidth, ManifestStateField(RecordState::Failed));
  text += "created file\tcut";  // no line end: it was being written

  const InstallManifest m = ParseManifest(text);
  EXPECT_EQ(m.header.state, RecordState::Failed);
  EXPECT_EQ(m.header.title, "100% Mod");
  EXPECT_EQ(m.header.version, "Full");
  ASSERT_EQ(m.entries.size(), 4u);
  entries[3].hashed = true;  // completed by the "wrote" line
  entries[3].size = 366;
  entries[3].hash = 99;
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(m.entries[i].action, entries[i].action) << i;
    EXPECT_EQ(m.entries[i].path, entries[i].path) << i;
    EXPECT_EQ(m.entries[i].kept, entries[i].kept) << i;
    EXPECT_EQ(m.entries[i].hashed, entries[i].hashed) << i;
    EXPECT_EQ(m.entries[i].size, entries[i].size) << i;
    EXPECT_EQ(m.entries[i].hash, entries[i].hash) << i;
    EXPECT_EQ(m.entries[i].algorithm, entries[i].algorithm) << i;
  }
  EXPECT_EQ(text.find("\n"), text.find("\r\n") + 1);
}

class RecordTest : public ::testing::Test {
 protected:
  RecordTest() {
    fs::copy(Native(Example("sample-game")), Native(game), fs::copy_options::recursive);
    fs::copy(Native(Example("sample-package")), Native(pkg), fs::copy_options::recursive);
  }

  InstallResult Install(const std::string& version) { return InstallSample(pkg, game, version); }

  UndoResult Undo(const std::string& name, bool force = false) {
    ui = ScriptedInteraction();
    return UndoInstall(pkg, game, name, force, ui);
  }

  TempDir dir;
  const std::string game = dir / "game\\";
  const std::string pkg = dir / "pkg\\";
  ScriptedInteraction ui;
};

TEST_F(RecordTest, InstallThenUndoLeavesTheGameAsItWas) {
  // As shipped, and with a copy template that stops the install halfway.
  for (bool breakIt : {false, true}) {
    SCOPED_TRACE(breakIt ? "failed install" : "complete install");
    if (breakIt) WriteFile(pkg + "Full.files.txt", ReadFile(pkg + "Full.files.txt") + "no equals sign\r\n");
    const Tree before = ReadTree(game);
    ASSERT_EQ(Install("Full"), breakIt ? InstallResult::Failed : InstallResult::Installed);

    const std::string record = game + "trilo-records\\0001-Classic Mod Setup\\";
    const InstallManifest m = ParseManifest(ReadFile(record + "manifest.txt"));
    EXPECT_EQ(m.header.state, breakIt ? RecordState::Failed : RecordState::Completed);
    EXPECT_EQ(m.header.package, pkg);
    if (!breakIt) {
      EXPECT_EQ(ReadFile(record + "Season\\game.gdb"), before.at("Season/game.gdb"));
    }

    ASSERT_EQ(Undo("last"), UndoResult::Undone) << ::testing::PrintToString(ui.messages);
    EXPECT_EQ(ui.questions,
              std::vector<std::string>{"Undo the install of Classic Mod Setup from " + m.header.date + "?"});
    EXPECT_EQ(ui.notices, std::vector<Notice>{Notice::UndoComplete});
    EXPECT_EQ(ReadTree(game), before);
  }
}

TEST_F(RecordTest, ARewrittenFileStaysAtItsNameUntilTheNewOneTakesIt) {
  // A kill between keeping the old file and renaming the new one over it
  // must leave the old file at its name, not a hole the next install trips on.
  const std::string target = game + "Season\\game.gdb";
  const std::string old = ReadFile(target);
  for (bool committed : {true, false}) {
    SCOPED_TRACE(committed ? "committed" : "abandoned");
    RecordHeader header;
    header.title = committed ? "Kept" : "Dropped";
    InstallRecord record(game, pkg, header);
    ReplacingFile file;
    std::string temporary;
    ASSERT_TRUE(record.NewTemporary(target, temporary));
    ASSERT_TRUE(file.Open(target, temporary));
    const std::string bytes = "new";
    ASSERT_TRUE(file.Write(bytes));
    RecordedChange change = record.BeforeWrite(target, &bytes);
    ASSERT_TRUE(change.Recorded());
    const std::string kept = record.Folder() + "Season\\game.gdb";
    EXPECT_EQ(ReadFile(target), old);
    EXPECT_EQ(ReadFile(kept), old);

    if (committed) ASSERT_TRUE(file.Commit());
    else file.Abandon();
    change.Settle(committed);
    record.Finish(committed);
    EXPECT_EQ(ReadFile(target), committed ? bytes : old);
    EXPECT_EQ(PathExists(kept), committed);
    if (committed) {
      EXPECT_EQ(ReadFile(kept), old);
      WriteFile(target, old);
    }
  }
}

// A copy over a file the game has finds it under the spelling its folder
// holds and moves it into the record; one that cannot change what is there
// is not recorded at all.
TEST_F(RecordTest, ACopyMovesWhatItReplacesIntoTheRecord) {
  WriteFile(pkg + "skin.tga", "new");
  const std::string readme = game + "Cars\\README.txt";
  const std::string old = ReadFile(readme);
  struct Case {
    const char* name;
    std::string source, destination;
    bool recorded;
  };
  const Case cases[] = {
      {"respelt", pkg + "skin.tga", game + "Cars\\readme.TXT", true},
      {"a folder", pkg + "skin.tga", game + "cars", false},
      {"onto itself", readme, game + "Cars\\readme.txt", false},
  };
  for (const Case& c : cases) {
    for (bool commit : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (commit ? ", committed" : ", abandoned"));
      RecordHeader header;
      header.title = c.name;
      InstallRecord record(game, pkg, header);
      RecordedChange change = record.BeforeCopy(c.destination);
      const Status copied = CopyFileReplacing(c.source, c.destination, change.Announcement());
      EXPECT_EQ(copied.Ok(), c.recorded);
      change.Settle(copied.Ok() && commit);
      record.Finish(true);
      EXPECT_EQ(ReadFile(readme), c.recorded && commit ? "new" : old);
      // One file, under its own name still.
      EXPECT_EQ(ListFolder(game + "Cars"), std::vector<std::string>{"README.txt"});
      if (!c.recorded) {
        EXPECT_TRUE(record.Folder().empty());
        continue;
      }
      const InstallManifest m = ParseManifest(ReadFile(record.Folder() + kManifestName));
      ASSERT_EQ(m.entries.size(), 1u);
      EXPECT_EQ(m.entries[0].action, RecordAction::ReplacedFile);
      EXPECT_EQ(m.entries[0].path, "Cars\\README.txt");
      EXPECT_EQ(FileExists(record.Folder() + "Cars\\README.txt"), commit);
      if (commit) {
        EXPECT_EQ(ReadFile(record.Folder() + "Cars\\README.txt"), old);
      }
      WriteFile(readme, old);
    }
  }
}

// A change dropped neither committed nor abandoned is its caller's fault:
// the file gets its place back and the record says the install failed.
TEST_F(RecordTest, AChangeLeftUnsettledFailsTheRecord) {
  const std::string target = game + "Season\\game.gdb";
  const std::string old = ReadFile(target);
  RecordHeader header;
  header.title = "Unsettled";
  InstallRecord record(game, pkg, header);
  {
    const std::string bytes = "new";
    RecordedChange change = record.BeforeWrite(target, &bytes);
    ASSERT_TRUE(change.Recorded());
    ASSERT_TRUE(FileExists(record.Folder() + "Season\\game.gdb"));
  }
  EXPECT_EQ(record.Unsettled(), 1);
  EXPECT_TRUE(record.Failure().IsRecordFailure());
  EXPECT_EQ(ReadFile(target), old);
  EXPECT_FALSE(FileExists(record.Folder() + "Season\\game.gdb"));
  std::string destination = game + "new.txt";
  EXPECT_TRUE(record.BeforeCopy(destination).Recorded().IsRecordFailure());
  record.Finish(true);
  std::string manifest;
  ASSERT_TRUE(ReadWholeFile(record.Folder() + kManifestName, manifest));
  EXPECT_EQ(ParseManifest(manifest).header.state, RecordState::Failed);
}

TEST_F(RecordTest, TwoInstallsAreUndoneNewestFirstOnly) {
  const Tree before = ReadTree(game);
  ASSERT_EQ(Install("Lite"), InstallResult::Installed);
  const Tree afterLite = ReadTree(game);
  // The second replaces most of what the first wrote, game.gdb and its backup.
  ASSERT_EQ(Install("Full"), InstallResult::Installed);
  const Tree afterFull = ReadTree(game);

  EXPECT_EQ(Undo("0001-classic mod setup"), UndoResult::Failed);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Cannot undo 0001-Classic Mod Setup: the later install "
                                                  "0002-Classic Mod Setup also changed ClassicMod.ini. Undo "
                                                  "0002-Classic Mod Setup first."});
  EXPECT_EQ(ReadTree(game), afterFull);

  ASSERT_EQ(Undo("2"), UndoResult::Undone);
  EXPECT_EQ(ReadTree(game), afterLite);
  ASSERT_EQ(Undo("last"), UndoResult::Undone);
  EXPECT_EQ(ReadTree(game), before);
  EXPECT_EQ(Undo("last"), UndoResult::Failed);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"No install is recorded in " + PathForUser(game)});
}

TEST_F(RecordTest, FilesChangedSinceAreLeftAndReportedUnlessForced) {
  const Tree before = ReadTree(game);
  ASSERT_EQ(Install("Full"), InstallResult::Installed);
  const std::string made = "ClassicMod\\Cars\\Classic1\\classic1.veh";
  WriteFile(game + made, "tuned by hand");
  WriteFile(game + "Season\\game.gdb", "edited by hand");

  // Left as they are, the undo is not complete: its record stays, said to
  // be partly undone, and the next undo picks it again.
  ASSERT_EQ(Undo("last"), UndoResult::Incomplete);
  ASSERT_EQ(ui.messages.size(), 1u);
  const std::string left = "Changed since the install, and left as they are:\n  Season\\game.gdb\n  " + made +
                           "\nWhat the install replaced stays in " + PathForUser(game + "trilo-records\\0001-");
  EXPECT_EQ(ui.messages[0].rfind(left, 0), 0u) << ui.messages[0];
  EXPECT_EQ(ui.notices, std::vector<Notice>{Notice::UndoIncomplete});
  EXPECT_EQ(ReadFile(game + made), "tuned by hand");
  EXPECT_EQ(ReadFile(game + "Season\\game.gdb"), "edited by hand");
  EXPECT_FALSE(FileExists(game + "ClassicMod.ini"));
  const std::vector<InstalledRecord> records = ListInstalledRecords(game);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].manifest.header.state, RecordState::PartlyUndone);
  EXPECT_NE(InstalledRecordsText(records).find("partly undone"), std::string::npos);
  EXPECT_EQ(Undo("last"), UndoResult::Incomplete);

  // The original database stays in the record until the undo is forced.
  ASSERT_EQ(Undo("last", true), UndoResult::Undone);
  EXPECT_EQ(ReadTree(game), before);
}

// Records written before XXH64 hold FNV-1a values: their files still count
// as unchanged, and the undo removes them without a word.
TEST_F(RecordTest, ARecordWithTheOlderHashIsUndoneAsWritten) {
  const Tree before = ReadTree(game);
  ASSERT_EQ(Install("Full"), InstallResult::Installed);
  const std::string manifest = game + "trilo-records\\0001-Classic Mod Setup\\manifest.txt";
  std::string text = ReadFile(manifest), older;
  for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    std::string line = text.substr(start, end - start);
    const size_t field = line.find("\txxh64="), tab = line.find('\t');
    if (field != std::string::npos) {
      const std::string path = line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1);
      ContentHash fnv(HashAlgorithm::Fnv1a64);
      fnv.Add(ReadFile(path[1] == ':' ? path : game + path));
      line = line.substr(0, field) + "\tfnv1a64=" + HashText(fnv.Value());
    }
    older += line + "\r\n";
  }
  ASSERT_NE(older.find("fnv1a64="), std::string::npos);
  WriteFile(manifest, older);

  ASSERT_EQ(Undo("last"), UndoResult::Undone);
  EXPECT_EQ(ui.messages, std::vector<std::string>{});
  EXPECT_EQ(ReadTree(game), before);
}

}  // namespace
}  // namespace test
}  // namespace trilo
