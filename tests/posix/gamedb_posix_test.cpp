#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "install/installer_app.h"
#include "formats/game_database.h"
#include "gamedb_test_util.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

TEST(GameDatabasePosix, AReadErrorIsNotTakenForTheEndOfTheFile) {
  // A regular file whose first read fails: this process's memory, read from
  // address 0, which is never mapped. A folder is refused when opened.
  GameDatabase db;
  EXPECT_EQ(Shown(ReadGameDatabaseFile("\\proc\\self\\mem", db)), std::vector<std::string>{"Error reading game.gdb file"});
  TempDir dir;
  MakeFolder(dir / "game.gdb");
  EXPECT_EQ(Shown(ReadGameDatabaseFile(dir / "game.gdb", db)),
            std::vector<std::string>{"Error opening game.gdb file for reading"});
}

// Runs `body` in a child process whose files may not grow past `limit`
// bytes, as on a full disk; returns what the child wrote to its pipe.
template <typename Body>
std::string RunWithFileSizeLimit(rlim_t limit, Body body) {
  std::fflush(nullptr);
  int fds[2];
  if (pipe(fds) != 0) return "<pipe failed>";
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    struct rlimit lim = {limit, limit};
    setrlimit(RLIMIT_FSIZE, &lim);
    std::string report = body();
    ssize_t written = write(fds[1], report.data(), report.size());
    _exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
  }
  close(fds[1]);
  std::string report;
  char buf[512];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) report.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) report += "<child failed>";
  return report;
}

TEST(GameDatabasePosix, AFullDiskWhileWritingLeavesTheOldFile) {
  TempDir dir;
  const std::string seasons = dir / "Game\\Seasons\\";
  const std::string package = dir / "Package\\";
  MakeFolder(seasons);
  MakeFolder(package);
  const std::string original = "SeasonRaces\r\n{\r\n  Old\r\n  {\r\n  }\r\n}\r\n";
  WriteFile(seasons + "game.gdb", original);
  std::string source = "SeasonRaces\n{\n";
  for (int i = 0; i < 200; ++i) source += "  New" + std::to_string(i) + "\n  {\n" + std::string(1000, 'x') + "\n  }\n";
  WriteFile(package + "gdb.txt", source + "}\n");

  std::string report = RunWithFileSizeLimit(64 * 1024, [&] {
    ScriptedInteraction ui;
    InstallerApp app(ui);
    app.WorkingDir = package;
    app.State.TOPDIR = dir / "Game\\";
    app.State.OLDSEASONDIR = "Seasons\\";
    app.Settings.Version2002 = 1;
    std::string out = app.MergeGameDatabase() ? "true" : "false";
    for (const std::string& m : ui.messages) out += "|" + m;
    return out;
  });
  EXPECT_EQ(report, "false|Error writing game.gdb file");
  EXPECT_EQ(ReadFile(seasons + "game.gdb"), original);
  EXPECT_EQ(ReadFile(seasons + "game.gdb.bak"), original);
  EXPECT_EQ(ListFolder(seasons), (std::vector<std::string>{"game.gdb", "game.gdb.bak"}));

  // With room enough the same merge goes through.
  report = RunWithFileSizeLimit(1024 * 1024, [&] {
    ScriptedInteraction ui;
    InstallerApp app(ui);
    app.WorkingDir = package;
    app.State.TOPDIR = dir / "Game\\";
    app.State.OLDSEASONDIR = "Seasons\\";
    return std::string(app.MergeGameDatabase() ? "true" : "false");
  });
  EXPECT_EQ(report, "true");
  EXPECT_NE(ReadFile(seasons + "game.gdb").find("  New199\r\n"), std::string::npos);
}

}  // namespace
}  // namespace test
}  // namespace trilo
