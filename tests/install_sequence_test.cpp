// Whole installs through the core, on a stand-in game and package in real
// folders, with scripted answers and a recording progress display.
#include <gtest/gtest.h>

#include "install/install_flow.h"
#include "install/installer_app.h"
#include "install/interface_text.h"
#include "record_args.h"
#include "test_support.h"

namespace trilo {
namespace {

using test::FileExists;
using test::ReadFile;
using test::WriteFile;

const char kGameGdb[] =
    "DefaultScoring\r\n{\r\n  Points = 10 6 4\r\n}\r\n\r\nSeasonRaces\r\n{\r\n  Old Track\r\n  {\r\n    Laps = 5\r\n"
    "  }\r\n}\r\n\r\nF1_Circuit_Race_Times\r\n{\r\n  Old Track = 1:00.000\r\n}\r\n\r\nSeasonScoringInfo\r\n{\r\n}\r\n";

const char kTenEntries[] =
    "SEASONDIR=Season\\\r\nSAVEDIR=Save\\\r\nOPTIONSDIR=Options\\\r\nREPLAYDIR=Replays\\\r\nLOGDIR=Logs\\\r\n"
    "MOVIEDIR=Movies\\\r\nVEHICLESDIR=Cars\\\r\nTRACKSDIR=Tracks\\\r\nSOUNDDIR=Sounds\\\r\nDRIVERSDIR=Drivers\\\r\n";

class InstallSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game = root / "Game\\";
    pkg = root / "Pkg\\";
    test::MakeFolder(game + "Season");
    test::MakeFolder(game + "Save\\Driver1");
    test::MakeFolder(pkg + "content");
    WriteFile(game + "f1_9902.exe", "stand-in");
    WriteFile(game + "CONFIG.INI", std::string("[COMPONENTS]\r\n") + kTenEntries);
    WriteFile(game + "Save\\Driver1\\Driver1.PLR", "DriverName=Sam\r\nGP_Opponents=5\r\nTelemetryFile=x\r\n");
    WriteFile(game + "Season\\game.gdb", kGameGdb);
    WriteFile(pkg + "content\\car.veh", "car");
    WriteFile(pkg + "dirs.txt", "${TOPDIR}Mod\r\n${TOPDIR}${NEWSAVEDIR}\r\n${TOPDIR}${NEWSAVEDIR}${PLAYERDIR}\r\n");
    WriteFile(pkg + "files.txt", "${TOPDIR}Mod\\car.veh = content\\car.veh\r\n");
    WriteFile(pkg + "gdb.txt", "SeasonRaces\n{\n  New Track\n  {\n    Laps = 3\n  }\n}\n");
  }

  void Conf(const std::string& install, const std::string& rest = "") {
    WriteFile(pkg + "conf.ini", "[VESKAINSTALL]\r\n" + install + rest);
  }
  static std::string AllFlags() { return "NewConfig=1\r\nNewPlayer=1\r\nNewShortcut=1\r\nGDB=1\r\n"; }
  static std::string ModConfig() {
    return "[VESKACONFIG]\r\nConfigName=Mod.ini\r\nSaveDir=Mod\\Save\\\r\nReplayDir=Mod\\Vcr\\\r\n"
           "[VESKASHORTCUT]\r\nDesc=My Mod\r\nIconFile=Mod\\mod.ico\r\n";
  }
  // A command line that records its folder and arguments in `out`.
  std::string Recorder(const std::string& out, int exitCode, const std::string& args) {
    return "\"" + test::HelperProgram("record_args") + "\" \"" + test::ArgPath(root / out) + "\" " +
           std::to_string(exitCode) + " " + args;
  }

  bool Install() {
    test::ScopedCurrentFolder in(pkg);
    app.StartUp();
    std::string exe = game + "f1_9902.exe", cfg = game + "CONFIG.INI";
    EXPECT_TRUE(app.DeriveInstallState(exe, cfg, game + "Save\\Driver1\\Driver1.PLR"));
    return app.RunInstallSequence(progress);
  }

  // Nothing after the copy step happened.
  void ExpectNothingAfterCopy() {
    EXPECT_EQ(ReadFile(game + "Season\\game.gdb"), kGameGdb);
    EXPECT_FALSE(FileExists(game + "Season\\game.gdb.bak"));
    EXPECT_FALSE(FileExists(game + "My Mod.lnk"));
    EXPECT_FALSE(FileExists(root / "post.txt"));
  }

  test::TempDir root;
  std::string game, pkg;
  test::ScriptedInteraction ui;
  test::RecordingProgress progress;
  InstallerApp app{ui};
};

TEST_F(InstallSequenceTest, AllFlagsOffRunsOnlyTheStepsThatAlwaysRun) {
  Conf("");
  ASSERT_TRUE(Install());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ReadFile(game + "Mod\\car.veh"), "car");
  EXPECT_EQ(app.State.OLDSAVEDIR, "Save\\");
  EXPECT_EQ(app.Settings.SaveDir, "Save\\");  // completed from the old configuration
  EXPECT_EQ(progress.calls.front(), "range:1");
  EXPECT_EQ(ReadFile(game + "Season\\game.gdb"), kGameGdb);
  EXPECT_FALSE(FileExists(game + "Please Rename Me.lnk"));
  EXPECT_FALSE(FileExists(game + "Save\\Driver1\\Driver1.PLR~trilo.tmp"));
  EXPECT_EQ(ReadFile(game + "Save\\Driver1\\Driver1.PLR"), "DriverName=Sam\r\nGP_Opponents=5\r\nTelemetryFile=x\r\n");
}

TEST_F(InstallSequenceTest, EveryStepRunsInItsOrder) {
  // The copy step sees the player file (made before it) and the database as
  // it was (merged after it); the post-install command sees every value.
  WriteFile(pkg + "files.txt",
            "${TOPDIR}Mod\\car.veh = content\\car.veh\r\n"
            "${TOPDIR}Mod\\player-copy.PLR = ${TOPDIR}${NEWSAVEDIR}${PLAYERDIR}${PLAYERNAME}.PLR\r\n"
            "${TOPDIR}Mod\\gdb-before.gdb = ${TOPDIR}${OLDSEASONDIR}game.gdb\r\n");
  Conf(AllFlags() + "PostInstall=" + Recorder("post.txt", 0, "[${OLDSEASONDIR}] [${NEWSAVEDIR}] [${PLAYERNAME}]") +
           "\r\n",
       ModConfig());
  ASSERT_TRUE(Install()) << ::testing::PrintToString(ui.messages);
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.messages);

  const std::string player = ReadFile(game + "Mod\\Save\\Driver1\\Driver1.PLR");
  EXPECT_EQ(player, "GP_Opponents=29\r\nTelemetryFile=\"Mod\\Vcr\\_TEMP.SPT\"\r\n");
  EXPECT_EQ(ReadFile(game + "Mod\\player-copy.PLR"), player);
  EXPECT_EQ(ReadFile(game + "Mod\\gdb-before.gdb"), kGameGdb);
  EXPECT_EQ(ReadFile(game + "Season\\game.gdb.bak"), kGameGdb);
  const std::string gdb = ReadFile(game + "Season\\game.gdb");
  EXPECT_LT(gdb.find("  Old Track\r\n"), gdb.find("  New Track\r\n")) << gdb;
  EXPECT_NE(ReadFile(game + "Mod.ini").find("SAVEDIR=Mod\\Save\\\r\n"), std::string::npos);
  EXPECT_TRUE(FileExists(game + "My Mod.lnk"));

  test::Record post = test::ReadRecord(root / "post.txt");
  ASSERT_TRUE(post.found);
  EXPECT_EQ(post.args, (std::vector<std::string>{"[Season\\]", "[Mod\\Save\\]", "[Driver1]"}));
  EXPECT_EQ(post.folder, test::ArgPath(game.substr(0, game.size() - 1)));
  // What ran is what the settings now hold.
  EXPECT_EQ(app.Settings.PostInstall.find("${"), std::string::npos);
}

TEST_F(InstallSequenceTest, CommandsSeeOnlyWhatIsKnownWhenTheyRun) {
  Conf("PreInstall=" + Recorder("pre.txt", 0, "[${OLDSEASONDIR}] [${NEWSAVEDIR}] [${PLAYERDIR}]") + "\r\n" +
       "PostInstall=" + Recorder("post.txt", 3, "[${OLDSEASONDIR}] [${NEWSAVEDIR}]") + "\r\n");
  // A command that ends with an error still counts as run.
  ASSERT_TRUE(Install());
  test::Record pre = test::ReadRecord(root / "pre.txt");
  ASSERT_TRUE(pre.found);
  EXPECT_EQ(pre.args, (std::vector<std::string>{"[]", "[]", "[Driver1\\]"}));
  EXPECT_EQ(pre.folder, test::ArgPath(game.substr(0, game.size() - 1)));
  test::Record post = test::ReadRecord(root / "post.txt");
  EXPECT_EQ(post.args, (std::vector<std::string>{"[Season\\]", "[Save\\]"}));
}

TEST_F(InstallSequenceTest, PreInstallThatCannotStartChangesNothing) {
  Conf(AllFlags() + "PreInstall=\"" + test::HelperProgram("no_such_program") + "\" ${PLAYERNAME}\r\n", ModConfig());
  EXPECT_FALSE(Install());
  // The command is named as it was started, placeholders expanded.
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Could not start the command: \"" +
                                                  test::HelperProgram("no_such_program") + "\" Driver1"});
  EXPECT_FALSE(test::IsFolder(game + "Mod"));
  EXPECT_FALSE(FileExists(game + "Mod.ini"));
  EXPECT_TRUE(progress.calls.empty());
  ExpectNothingAfterCopy();
}

TEST_F(InstallSequenceTest, PostInstallThatCannotStartIsNamedAfterEverythingElse) {
  Conf(AllFlags() + "PostInstall=${TOPDIR}no_such_program.exe ${OLDSEASONDIR}\r\n", ModConfig());
  EXPECT_FALSE(Install());
  EXPECT_EQ(ui.messages,
            std::vector<std::string>{"Could not start the command: " + game + "no_such_program.exe Season\\"});
  EXPECT_EQ(ReadFile(game + "Mod\\car.veh"), "car");
  EXPECT_TRUE(FileExists(game + "My Mod.lnk"));
}

struct Breakage {
  const char* name;
  void (*apply)(const std::string& game, const std::string& pkg);
  std::vector<std::string> messages;
  bool copied;  // whether the copy step ran
};

void PrintTo(const Breakage& b, std::ostream* os) { *os << b.name; }

class FailingStepTest : public InstallSequenceTest, public ::testing::WithParamInterface<Breakage> {};

TEST_P(FailingStepTest, StopsEverythingAfterIt) {
  Conf(AllFlags() + "PostInstall=" + Recorder("post.txt", 0, "x") + "\r\n", ModConfig());
  GetParam().apply(game, pkg);
  EXPECT_FALSE(Install());
  EXPECT_EQ(ui.messages, GetParam().messages);
  EXPECT_EQ(FileExists(game + "Mod\\car.veh"), GetParam().copied);
  if (GetParam().copied) {
    EXPECT_FALSE(FileExists(game + "My Mod.lnk"));
    EXPECT_FALSE(FileExists(root / "post.txt"));
  } else {
    ExpectNothingAfterCopy();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailingStepTest,
    ::testing::Values(
        Breakage{"OldConfig",
                 [](const std::string& game, const std::string&) {
                   WriteFile(game + "CONFIG.INI", "[COMPONENTS]\r\nSEASONDIR=Season\\\r\nSAVEDIR=Save\\\r\n");
                 },
                 {"Couldn't get OPTIONSDIR from existing config file"},
                 false},
        Breakage{"Directories", [](const std::string&, const std::string& pkg) { test::RemoveFile(pkg + "dirs.txt"); },
                 {"Error opening directory template"}, false},
        Breakage{"Player",
                 [](const std::string& game, const std::string&) {
                   test::RemoveFile(game + "Save\\Driver1\\Driver1.PLR");
                 },
                 {"Error opening old PLR file"},
                 false},
        Breakage{"Copy",
                 [](const std::string&, const std::string& pkg) {
                   WriteFile(pkg + "files.txt", "${TOPDIR}Mod\\car.veh = content\\car.veh\r\nno equals sign\r\n");
                 },
                 {"Malformed file copy string"},
                 true},
        Breakage{"Database", [](const std::string&, const std::string& pkg) { test::RemoveFile(pkg + "gdb.txt"); },
                 {"Error opening game.gdb file for reading", "Couldn't read source game.gdb file"}, true}),
    [](const ::testing::TestParamInfo<Breakage>& info) { return std::string(info.param.name); });

TEST_F(InstallSequenceTest, InstallHandlerShowsTheOutcome) {
  Conf("");
  PathFields fields{game + "f1_9902.exe", game + "CONFIG.INI", ""};
  test::ScopedCurrentFolder in(pkg);
  app.StartUp();
  int began = 0;
  EXPECT_EQ(HandleInstall(app, fields, progress, [&] { ++began; }), InstallResult::Installed);
  EXPECT_EQ(began, 1);
  EXPECT_EQ(ui.notices, std::vector<Notice>{Notice::Complete});

  // A failed step: its own message, then "Install Failed.", never "Install Complete.".
  test::RemoveFile(pkg + "files.txt");
  test::ScriptedInteraction ui2;
  InstallerApp again(ui2);
  again.StartUp();
  EXPECT_EQ(HandleInstall(again, fields, progress, nullptr), InstallResult::Failed);
  EXPECT_EQ(ui2.log, (std::vector<std::string>{"message:Error opening file template", "notice:" TXT_INSTALL_FAILED}));
}

// Faults a step reports and goes on past: the install ends as complete, but
// the handler tells it apart, and the next install starts clean.
TEST_F(InstallSequenceTest, InstallHandlerTellsAPartlyInstalledPackage) {
  struct Case {
    const char* name;
    std::string files;
    std::string desc;
    std::vector<std::string> messages;
    InstallResult result;
  } cases[] = {
      {"a copy failed", "${TOPDIR}Mod\\car.veh = content\\car.veh\r\n${TOPDIR}Mod\\x = content\\none\r\n", "My Mod",
       {"1 of 2 files could not be copied:\n  " + test::MissingSourceNamed("content\\none", game + "Mod\\x") +
        ": <reason>\nThey are listed in log.txt."},
       InstallResult::InstalledPartly},
      {"the shortcut was not saved", "${TOPDIR}Mod\\car.veh = content\\car.veh\r\n", "No\\Such\\Folder",
       {"Save failed!"}, InstallResult::InstalledPartly},
      {"nothing went wrong", "${TOPDIR}Mod\\car.veh = content\\car.veh\r\n", "My Mod", {}, InstallResult::Installed},
  };
  PathFields fields{game + "f1_9902.exe", game + "CONFIG.INI", game + "Save\\Driver1\\Driver1.PLR"};
  test::ScopedCurrentFolder in(pkg);
  for (const Case& c : cases) {
    WriteFile(pkg + "files.txt", c.files);
    Conf(AllFlags(), "[VESKACONFIG]\r\nConfigName=Mod.ini\r\nSaveDir=Mod\\Save\\\r\n[VESKASHORTCUT]\r\nDesc=" +
                         c.desc + "\r\n");
    ui.messages.clear();
    ui.notices.clear();
    app.StartUp();
    EXPECT_EQ(HandleInstall(app, fields, progress, nullptr), c.result) << c.name;
    std::vector<std::string> told;
    for (const std::string& message : ui.messages) told.push_back(test::WithoutReasons(message));
    EXPECT_EQ(told, c.messages) << c.name;
    EXPECT_EQ(ui.notices, std::vector<Notice>{Notice::Complete}) << c.name;
  }
}

}  // namespace
}  // namespace trilo
