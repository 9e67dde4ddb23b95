// A named pipe, whose reads wait until the other end writes, and a device
// where the installer expects a file: nothing may wait on them. Each case
// fails as that file being unreadable would, with the step's own message.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "install/game_database_file.h"
#include "platform/exclusive_file.h"
#include "platform/filesystem.h"
#include "step_fixture.h"

namespace trilo {
namespace test {
namespace {

const char kTenEntries[] =
    "[COMPONENTS]\r\nSEASONDIR=Season\\\r\nSAVEDIR=Save\\\r\nOPTIONSDIR=Options\\\r\nREPLAYDIR=Replays\\\r\n"
    "LOGDIR=Logs\\\r\nMOVIEDIR=Movies\\\r\nVEHICLESDIR=Cars\\\r\nTRACKSDIR=Tracks\\\r\nSOUNDDIR=Sounds\\\r\n"
    "DRIVERSDIR=Drivers\\\r\n";

// Pipes that nobody ever writes to, with instances to spare for every
// opening a step may try.
class PipeServer {
 public:
  explicit PipeServer(const std::string& prefix) : prefix_(prefix) {}
  ~PipeServer() {
    for (HANDLE h : handles_) CloseHandle(h);
  }
  std::string Make(const std::string& name) {
    const std::string path = prefix_ + name;
    for (int i = 0; i < 8; ++i) {
      HANDLE h = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                  PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
      EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
      if (h != INVALID_HANDLE_VALUE) handles_.push_back(h);
    }
    return path;
  }
  const std::string& Prefix() const { return prefix_; }

 private:
  std::string prefix_;
  std::vector<HANDLE> handles_;
};

class NonRegularFileWinTest : public StepTest {
 protected:
  NonRegularFileWinTest() : pipes("\\\\.\\pipe\\trilo-" + std::to_string(GetCurrentProcessId()) + "-") {
    MakeFolder(game + "Season");
    MakeFolder(game + "Save\\Driver1");
    MakeFolder(game + "Pack\\Driver1");
    WriteFile(game + "CONFIG.INI", kTenEntries);
    WriteFile(game + "Save\\Driver1\\Driver1.PLR", "DriverName=Sam\r\n");
    WriteFile(game + "Season\\game.gdb", "SeasonRaces\r\n{\r\n}\r\n");
    WriteFile(pkg + "dirs.txt", "${TOPDIR}Mod\r\n");
    WriteFile(pkg + "gdb.txt", "SeasonRaces\n{\n}\n");
    WriteFile(pkg + "car.veh", "car");
    app.State.OldConfigPath = game + "CONFIG.INI";
    app.State.TemplatePlayerPath = game + "Save\\Driver1\\Driver1.PLR";
    app.State.PLAYERNAME = "Driver1";
    app.State.OLDSEASONDIR = "Season\\";
    app.Settings.ConfigName = "PACK.INI";
    app.Settings.SaveDir = "Pack\\";
  }

  PipeServer pipes;
  RecordingProgress progress;
};

class PipeInPlace;

struct PipeCase {
  const char* name;
  // Points one of the installer's files at a pipe and runs the step.
  std::function<bool(PipeInPlace&)> run;
  bool result;
  std::vector<std::string> messages;
};

void PrintTo(const PipeCase& c, std::ostream* os) { *os << c.name; }

class PipeInPlace : public NonRegularFileWinTest, public ::testing::WithParamInterface<PipeCase> {
 public:
  InstallerApp& App() { return app; }
  RecordingProgress& Progress() { return progress; }
  PipeServer& Pipes() { return pipes; }
};

TEST_P(PipeInPlace, FailsAsAnUnreadableFileWithoutWaiting) {
  const PipeCase& c = GetParam();
  EXPECT_EQ(c.run(*this), c.result);
  EXPECT_EQ(ui.messages, c.messages);
}

// A version whose name leads the package's templates into the pipes.
void PipeVersion(PipeInPlace& t, const char* plainName) {
  t.Pipes().Make(std::string("v.") + plainName);
  t.App().State.SelectedVersion = t.Pipes().Prefix() + "v";
}

INSTANTIATE_TEST_SUITE_P(
    EveryFile, PipeInPlace,
    ::testing::Values(
        PipeCase{"ConfIni",
                 [](PipeInPlace& s) {
                   s.Pipes().Make("conf.ini");
                   s.App().WorkingDir = s.Pipes().Prefix();
                   s.App().ReadConfiguration();
                   return s.App().Settings.Title == "Trilo Installer";
                 },
                 true, {}},
        PipeCase{"DirectoryTemplate",
                 [](PipeInPlace& s) {
                   PipeVersion(s, "dirs.txt");
                   return s.App().CreateTemplateDirectories();
                 },
                 false, {"Error opening directory template"}},
        PipeCase{"FileTemplate",
                 [](PipeInPlace& s) {
                   PipeVersion(s, "files.txt");
                   return s.App().CopyTemplateFiles(s.Progress());
                 },
                 false, {"Error opening file template"}},
        PipeCase{"PackageDatabase",
                 [](PipeInPlace& s) {
                   PipeVersion(s, "gdb.txt");
                   return s.App().MergeGameDatabase();
                 },
                 false, {"Error opening game.gdb file for reading", "Couldn't read source game.gdb file"}},
        PipeCase{"GameDatabase",
                 [](PipeInPlace& s) {
                   s.Pipes().Make("game.gdb");
                   s.App().State.TOPDIR = s.Pipes().Prefix();
                   s.App().State.OLDSEASONDIR = "";
                   return s.App().MergeGameDatabase();
                 },
                 false, {"Failed to back up old game.gdb file"}},
        PipeCase{"GameConfigRead",
                 [](PipeInPlace& s) {
                   s.App().State.OldConfigPath = s.Pipes().Make("CONFIG.INI");
                   return s.App().ReadOldGameConfig();
                 },
                 false, {"Couldn't get SEASONDIR from existing config file"}},
        PipeCase{"GameConfigRewritten",
                 [](PipeInPlace& s) {
                   s.App().State.OldConfigPath = s.Pipes().Make("CONFIG.INI");
                   return s.App().WriteNewGameConfig();
                 },
                 false, {"Error opening old config file"}},
        PipeCase{"TemplatePlayer",
                 [](PipeInPlace& s) {
                   s.App().State.TemplatePlayerPath = s.Pipes().Make("Driver1.PLR");
                   return s.App().CreatePlayerProfile();
                 },
                 false, {"Error opening old PLR file"}}),
    [](const ::testing::TestParamInfo<PipeCase>& info) { return std::string(info.param.name); });

TEST_F(NonRegularFileWinTest, CopiesFromOrToAPipeOrADeviceAreLoggedAsAccessDenied) {
  const std::string pipe = pipes.Make("car.veh");
  WriteFile(pkg + "files.txt", "${TOPDIR}a.veh = " + pipe + "\r\n" + pipe + " = car.veh\r\n" +
                                   "${TOPDIR}b.veh = NUL\r\n${TOPDIR}c.veh = car.veh\r\n");
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(test::WithoutReasons(ui.messages[0]), "3 of 4 files could not be copied:\n  " + pipe + ": <reason>\n  " +
                                                      pipe + ": <reason>\n  NUL: <reason>\nThey are listed in log.txt.");
  EXPECT_EQ(ReadFile(pkg + "log.txt"), "Couldn't copy: " + pipe + " => " + game + "a.veh, errno=13, last error=5\r\n" +
                                           "Couldn't copy: car.veh => " + pipe + ", errno=13, last error=5\r\n" +
                                           "Couldn't copy: NUL => " + game + "b.veh, errno=13, last error=5\r\n");
  EXPECT_EQ(ReadFile(game + "c.veh"), "car");
  EXPECT_FALSE(FileExists(game + "a.veh"));
  EXPECT_FALSE(FileExists(game + "b.veh"));
}

TEST_F(NonRegularFileWinTest, PlatformCallsRefuseAPipe) {
  const std::string pipe = pipes.Make("any");
  std::string bytes;
  EXPECT_EQ(ReadWholeFile(pipe, bytes).During(), Status::Phase::Open);
  for (const std::string& path : {pipe, std::string("NUL")}) {
    std::FILE* f = nullptr;
    EXPECT_FALSE(OpenFile(path, "rb", f)) << path;
    EXPECT_EQ(f, nullptr) << path;
  }
  ExclusiveFile exclusive;
  EXPECT_FALSE(exclusive.Open(pipe));
  GameDatabase db;
  EXPECT_EQ(ReadGameDatabaseFile(pipe, db), GdbError::OpenForReading);
}

}  // namespace
}  // namespace test
}  // namespace trilo
