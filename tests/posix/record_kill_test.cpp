// An install killed at random moments and then undone: whatever it was doing
// when it stopped, the game folder must be as it was before.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "record_tree.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

namespace fs = std::filesystem;

pid_t InstallInChild(const std::string& pkg, const std::string& game) {
  const pid_t pid = fork();
  if (pid == 0) _exit(InstallSample(pkg, game, "Full") == InstallResult::Installed ? 0 : 1);
  return pid;
}

TEST(RecordKillTest, InstallKilledAnywhereIsUndoneToTheTreeBefore) {
  TempDir dir;
  const std::string pkg = dir / "pkg\\", game = dir / "game\\";
  fs::copy(Native(Example("sample-package")), Native(pkg), fs::copy_options::recursive);
  // Many more copies than the sample's, some of them over the game's own
  // files, so that the kills fall among many actions.
  std::string files = ReadFile(pkg + "Full.files.txt");
  for (int i = 0; i < 100; ++i)
    files += "${TOPDIR}${NEWSEASONDIR}extra" + std::to_string(i) + ".mod = content\\season\\season.mod\r\n";
  for (const char* own : {"Cars", "Tracks", "Sounds"})
    files += std::string("${TOPDIR}") + own + "\\README.txt = content\\season\\season.mod\r\n";
  WriteFile(pkg + "Full.files.txt", files);
  auto freshGame = [&] {
    fs::remove_all(Native(game));
    fs::copy(Native(Example("sample-game")), Native(game), fs::copy_options::recursive);
  };

  freshGame();
  const auto start = std::chrono::steady_clock::now();
  int status = -1;
  waitpid(InstallInChild(pkg, game), &status, 0);
  ASSERT_EQ(status, 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);

  const unsigned seed = std::random_device()();
  std::mt19937 rng(seed);
  std::uniform_int_distribution<long> moment(0, static_cast<long>(whole.count()));
  int recorded = 0;
  for (int round = 0; round < 20; ++round) {
    freshGame();
    const Tree before = ReadTree(game);
    const long delay = moment(rng);
    const pid_t pid = InstallInChild(pkg, game);
    usleep(static_cast<useconds_t>(delay));
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);

    ScriptedInteraction ui;
    const UndoResult undone = UndoInstall(pkg, game, "last", false, ui);
    // Stopped before its first change, an install leaves no record at all.
    if (undone == UndoResult::Undone) ++recorded;
    else EXPECT_EQ(ui.messages.size(), 1u) << ui.messages.front();
    EXPECT_EQ(ReadTree(game), before) << "seed " << seed << ", killed after " << delay << " of " << whole.count()
                                      << " us; " << ::testing::PrintToString(ui.messages);
  }
  EXPECT_GT(recorded, 0) << "no kill fell within the install (seed " << seed << ")";
}

}  // namespace
}  // namespace test
}  // namespace trilo
