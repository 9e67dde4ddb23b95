// What a copied file costs in system calls, counted by strace on the real
// trilo-setup: a package installed once (every file new) and again (every
// file replaced and kept in the record). Two sizes, so that what the
// program does once drops out of the difference.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "posix/program_runner.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

namespace fs = std::filesystem;

// strace as the system has it, or empty.
std::string FindStrace() {
  for (const char* path : {"/usr/bin/strace", "/bin/strace"})
    if (access(path, X_OK) == 0) return path;
  return std::string();
}

// The calls strace -c counted in all, from its "total" line; -1 if none.
long TotalCalls(const std::string& summary) {
  std::ifstream in(summary);
  std::string line;
  long calls = -1;
  while (std::getline(in, line)) {
    if (line.find("total") == std::string::npos) continue;
    double percent = 0, seconds = 0;
    std::sscanf(line.c_str(), "%lf %lf %*d %ld", &percent, &seconds, &calls);
  }
  return calls;
}

// The calls of a first and a second install of `count` files into one folder.
void CountInstalls(const std::string& strace, const std::string& root, int count, long calls[2]) {
  const std::string game = root + "/game/", pkg = root + "/pkg/";
  std::string files;
  for (int i = 0; i < count; ++i) {
    std::ofstream(pkg + "content/f" + std::to_string(i) + ".dat") << std::string(100, 'x');
    files += "${TOPDIR}Pack\\f" + std::to_string(i) + ".dat=content\\f" + std::to_string(i) + ".dat\r\n";
  }
  std::ofstream(pkg + "files.txt") << files;
  for (int run = 0; run < 2; ++run) {
    const std::string summary = root + "/calls.txt";
    const ProgramResult r = RunProgram({strace, "-c", "-f", "-o", summary, TRILO_TERM_SETUP, "-C", pkg, "--unattended",
                                        "--game-exe", game + "f1_9902.exe", "--config", game + "CONFIG.INI"},
                                       "", {"ASAN_OPTIONS=detect_leaks=0"});  // no leak check under ptrace
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    calls[run] = TotalCalls(summary);
    ASSERT_GT(calls[run], 0);
  }
}

TEST(ReplaceCalls, AReplacedFileCostsNoMoreCallsThanTheMoveAndTheCopy) {
  const std::string strace = FindStrace();
  if (strace.empty()) GTEST_SKIP() << "strace is not installed: the system calls per file are not counted";
  TempDir dir;
  long calls[2][2];
  for (int size = 0; size < 2; ++size) {
    const std::string root = SystemPath(dir / std::to_string(size));
    for (const char* folder : {"", "/game", "/pkg", "/pkg/content"}) fs::create_directories(root + folder);
    std::ofstream(root + "/game/f1_9902.exe") << "MZ";
    std::string config = "[COMPONENTS]\r\n";
    for (const char* key : {"SEASONDIR", "SAVEDIR", "OPTIONSDIR", "REPLAYDIR", "LOGDIR", "MOVIEDIR", "VEHICLESDIR",
                            "TRACKSDIR", "SOUNDDIR", "DRIVERSDIR"})
      config += std::string(key) + "=Data\\\r\n";
    std::ofstream(root + "/game/CONFIG.INI") << config;
    std::ofstream(root + "/pkg/conf.ini") << "[VESKAINSTALL]\r\nNewConfig=0\r\n";
    std::ofstream(root + "/pkg/dirs.txt") << "${TOPDIR}Pack\\\r\n";
    CountInstalls(strace, root, size ? 300 : 100, calls[size]);
    if (HasFatalFailure()) return;
  }
  // 11 for a new file and 12 for a replaced one when this was written; the
  // bounds leave room for a sanitizer's own calls.
  const double perNew = (calls[1][0] - calls[0][0]) / 200.0, perReplaced = (calls[1][1] - calls[0][1]) / 200.0;
  EXPECT_LE(perNew, 13.0);
  EXPECT_LE(perReplaced, 15.0);
}

}  // namespace
}  // namespace test
}  // namespace trilo
