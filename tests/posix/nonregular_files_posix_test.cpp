// A FIFO, which blocks whoever opens it until its other end is opened too,
// in every place where the installer reads or writes a file: nothing may
// wait on it. Each case fails as that file being unreadable (or unwritable)
// would, with the step's own message.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "install/installer_app.h"
#include "install/game_database_file.h"
#include "platform/exclusive_file.h"
#include "platform/file_ops.h"
#include "platform/filesystem.h"
#include "platform/posix/path_map.h"
#include "step_fixture.h"

namespace trilo {
namespace test {
namespace {

const char kTenEntries[] =
    "[COMPONENTS]\r\nSEASONDIR=Season\\\r\nSAVEDIR=Save\\\r\nOPTIONSDIR=Options\\\r\nREPLAYDIR=Replays\\\r\n"
    "LOGDIR=Logs\\\r\nMOVIEDIR=Movies\\\r\nVEHICLESDIR=Cars\\\r\nTRACKSDIR=Tracks\\\r\nSOUNDDIR=Sounds\\\r\n"
    "DRIVERSDIR=Drivers\\\r\n";

bool IsFifo(const std::string& path) {
  struct stat st;
  return stat(ToNativePath(path).c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// A package and a game that install cleanly, so that each case breaks one
// thing only.
class NonRegularFileTest : public StepTest {
 protected:
  NonRegularFileTest() {
    // Should anything block after all, the test dies here instead of hanging.
    alarm(20);
    MakeFolder(game + "Season");
    MakeFolder(game + "Save\\Driver1");
    MakeFolder(game + "Pack\\Driver1");
    WriteFile(game + "CONFIG.INI", kTenEntries);
    WriteFile(game + "Save\\Driver1\\Driver1.PLR", "DriverName=Sam\r\nGP_Opponents=5\r\n");
    WriteFile(game + "Season\\game.gdb", "SeasonRaces\r\n{\r\n  Old\r\n  {\r\n  }\r\n}\r\n");
    WriteFile(pkg + "conf.ini", "[GUI]\r\nTitle=Pack\r\n");
    WriteFile(pkg + "dirs.txt", "${TOPDIR}Mod\r\n");
    WriteFile(pkg + "files.txt", "${TOPDIR}car.veh = car.veh\r\n");
    WriteFile(pkg + "gdb.txt", "SeasonRaces\n{\n  New\n  {\n  }\n}\n");
    WriteFile(pkg + "car.veh", "car");
    app.State.OldConfigPath = game + "CONFIG.INI";
    app.State.TemplatePlayerPath = game + "Save\\Driver1\\Driver1.PLR";
    app.State.PLAYERNAME = "Driver1";
    app.State.OLDSEASONDIR = "Season\\";
    app.Settings.ConfigName = "PACK.INI";
    app.Settings.SaveDir = "Pack\\";
    app.Settings.Version2002 = 1;
  }
  ~NonRegularFileTest() override { alarm(0); }

  void MakeFifo(const std::string& path) {
    const std::string native = ToNativePath(path);
    unlink(native.c_str());
    ASSERT_EQ(mkfifo(native.c_str(), 0666), 0) << native;
  }

  RecordingProgress progress;
};

// The copy step's message for one failed copy, said as WithoutReasons says it.
std::string OneNotCopied(const std::string& path) {
  return "1 of 1 files could not be copied:\n  " + path + ": <reason>\nThey are listed in log.txt.";
}

struct FifoCase {
  const char* name;
  const char* fifo;  // relative to the test's folder
  std::function<bool(InstallerApp&, RecordingProgress&)> step;
  bool result;
  std::vector<std::string> messages;
  const char* log;  // the copy log's line, when one is written
};

void PrintTo(const FifoCase& c, std::ostream* os) { *os << c.name; }

class FifoInPlace : public NonRegularFileTest, public ::testing::WithParamInterface<FifoCase> {};

TEST_P(FifoInPlace, FailsAsAnUnreadableFileWithoutWaiting) {
  const FifoCase& c = GetParam();
  MakeFifo(dir / c.fifo);
  app.WorkingDir = pkg;
  EXPECT_EQ(c.step(app, progress), c.result);
  std::vector<std::string> told;
  for (const std::string& message : ui.messages) told.push_back(test::WithoutReasons(message));
  std::vector<std::string> expected = c.messages;
  for (std::string& message : expected)
    if (message.find("<game>") != std::string::npos) message.replace(message.find("<game>"), 6, game);
  EXPECT_EQ(told, expected);
  if (c.log) {
    std::string line = std::string("Couldn't copy: ") + c.log + "\r\n";
    line.replace(line.find("<game>"), 6, game);
    EXPECT_EQ(ReadFile(pkg + "log.txt"), line);
  }
  // What stood there is left as it was.
  EXPECT_TRUE(IsFifo(dir / c.fifo));
}

bool StartUp(InstallerApp& app, RecordingProgress&) {
  ScopedCurrentFolder in(app.WorkingDir);
  app.StartUp();
  // An unreadable conf.ini reads as a missing one: every default.
  return app.Settings.Title == "Trilo Installer" && app.Settings.Version2002 == 1;
}
bool Directories(InstallerApp& app, RecordingProgress&) { return app.CreateTemplateDirectories(); }
bool Copy(InstallerApp& app, RecordingProgress& progress) { return app.CopyTemplateFiles(progress); }
bool Merge(InstallerApp& app, RecordingProgress&) { return app.MergeGameDatabase(); }
bool ReadConfig(InstallerApp& app, RecordingProgress&) { return app.ReadOldGameConfig(); }
bool WriteConfig(InstallerApp& app, RecordingProgress&) {
  app.Settings.SeasonDir = "Mod\\";
  return app.WriteNewGameConfig();
}
bool Player(InstallerApp& app, RecordingProgress&) { return app.CreatePlayerProfile(); }

INSTANTIATE_TEST_SUITE_P(
    EveryFile, FifoInPlace,
    ::testing::Values(
        FifoCase{"ConfIni", "pkg\\conf.ini", StartUp, true, {}, nullptr},
        FifoCase{"DirectoryTemplate", "pkg\\dirs.txt", Directories, false, {"Error opening directory template"},
                 nullptr},
        FifoCase{"FileTemplate", "pkg\\files.txt", Copy, false, {"Error opening file template"}, nullptr},
        FifoCase{"PackageDatabase", "pkg\\gdb.txt", Merge, false,
                 {"Error opening game.gdb file for reading", "Couldn't read source game.gdb file"}, nullptr},
        FifoCase{"GameDatabase", "game\\Season\\game.gdb", Merge, false, {"Failed to back up old game.gdb file"},
                 nullptr},
        FifoCase{"GameConfigRead", "game\\CONFIG.INI", ReadConfig, false,
                 {"Couldn't get SEASONDIR from existing config file"}, nullptr},
        FifoCase{"GameConfigRewritten", "game\\CONFIG.INI", WriteConfig, false, {"Error opening old config file"},
                 nullptr},
        FifoCase{"TemplatePlayer", "game\\Save\\Driver1\\Driver1.PLR", Player, false, {"Error opening old PLR file"},
                 nullptr},
        FifoCase{"NewConfigTarget", "game\\PACK.INI", WriteConfig, false, {"Error creating new config file"},
                 nullptr},
        FifoCase{"NewPlayerTarget", "game\\Pack\\Driver1\\Driver1.PLR", Player, false,
                 {"Error creating new PLR file"}, nullptr},
        // A copy that fails is logged (access denied) and the step goes on.
        FifoCase{"CopySource", "pkg\\car.veh", Copy, true, {OneNotCopied("car.veh")},
                 "car.veh => <game>car.veh, errno=13, last error=5"},
        FifoCase{"CopyDestination", "game\\car.veh", Copy, true, {OneNotCopied("<game>car.veh")},
                 "car.veh => <game>car.veh, errno=13, last error=5"},
        FifoCase{"CopyLog", "pkg\\log.txt",
                 [](InstallerApp& app, RecordingProgress& progress) {
                   WriteFile(app.WorkingDir + "files.txt", "${TOPDIR}a = missing\r\n");
                   return app.CopyTemplateFiles(progress);
                 },
                 true, {"1 of 1 files could not be copied:\n  missing: <reason>\nlog.txt could not be written."}, nullptr}),
    [](const ::testing::TestParamInfo<FifoCase>& info) { return std::string(info.param.name); });

TEST_F(NonRegularFileTest, PlatformCallsRefuseAFifo) {
  const std::string fifo = dir / "fifo";
  MakeFifo(fifo);
  std::string bytes;
  EXPECT_EQ(ReadWholeFile(fifo, bytes).During(), Status::Phase::Open);
  for (const char* mode : {"rb", "wb", "ab", "r+b"}) {
    std::FILE* f = nullptr;
    EXPECT_FALSE(OpenFile(fifo, mode, f)) << mode;
    EXPECT_EQ(f, nullptr) << mode;
  }
  ExclusiveFile exclusive;
  EXPECT_FALSE(exclusive.Open(fifo));
  EXPECT_FALSE(AppendLine(fifo, "x"));
  GameDatabase db;
  EXPECT_EQ(ReadGameDatabaseFile(fifo, db), GdbError::OpenForReading);
  EXPECT_EQ(GdbWriteError(WriteGameDatabaseFile(db, fifo, true)), GdbError::OpenForWriting);
  EXPECT_TRUE(IsFifo(fifo));
}

}  // namespace
}  // namespace test
}  // namespace trilo
