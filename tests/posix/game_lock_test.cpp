// Two installers on one game: the second is refused while the first holds
// the game, and the lock is free again once the first is gone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "install/install_flow.h"
#include "install/interface_text.h"
#include "platform/game_lock.h"
#include "platform/posix/path_map.h"
#include "posix/program_runner.h"
#include "test_support.h"

namespace trilo {
namespace {

namespace fs = std::filesystem;

TEST(GameLockTest, OneHolderAtATime) {
  test::TempDir dir;
  GameLock first, second;
  ASSERT_TRUE(first.Take(dir.Path()));
  const Status refused = second.Take(dir.Path());
  EXPECT_TRUE(refused.Locked()) << refused.Reason();
  first.Release();
  EXPECT_TRUE(second.Take(dir.Path()));
  EXPECT_EQ(test::ListFolder(dir.Path()), std::vector<std::string>{});  // nothing left in the folder
}

TEST(GameLockTest, ASecondInstallOrUndoWaitsForNoneAndChangesNothing) {
  test::TempDir dir;
  const std::string base = ToNativePath(dir.Path());
  const std::string game = base + "game/", pkg = base + "pkg/";
  fs::copy(std::string(TRILO_SOURCE_DIR) + "/examples/sample-game", game, fs::copy_options::recursive);
  fs::copy(std::string(TRILO_SOURCE_DIR) + "/examples/sample-package", pkg, fs::copy_options::recursive);
  // The first install waits in its pre-install command until it is let go.
  std::ofstream(pkg + "hold.sh") << "#!/bin/sh\ntouch '" << base << "started'\nwhile [ ! -e '" << base
                                 << "release' ]; do sleep 0.05; done\n";
  fs::permissions(pkg + "hold.sh", fs::perms::owner_all);
  std::string conf = test::ReadFile(FromNativePath(pkg + "conf.ini"));
  conf.insert(conf.find("[VESKAINSTALL]\r\n") + 16, "PreInstall=" + pkg + "hold.sh\r\n");
  test::WriteFile(FromNativePath(pkg + "conf.ini"), conf);
  fs::create_directories(base + "prefix");
  const std::vector<std::string> env = {"WINEPREFIX=" + base + "prefix"};
  const std::vector<std::string> install = {TRILO_TERM_SETUP, "-C", pkg, "--unattended", "--package-version",
                                            "Lite", "--game-exe", game + "f1_9902.exe", "--config",
                                            game + "CONFIG.INI", "--player", game + "Save/Driver1/Driver1.PLR"};
  test::ProgramResult first;
  std::thread holder([&] { first = test::RunProgram(install, "", env); });
  for (int i = 0; i < 400 && !fs::exists(base + "started"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  const bool started = fs::exists(base + "started");
  test::ProgramResult second, undo;
  if (started) {
    second = test::RunProgram(install, "", env);
    undo = test::RunProgram(
        {TRILO_TERM_SETUP, "-C", pkg, "--undo", "--unattended", "--game-exe", game + "f1_9902.exe"}, "", env);
  }
  std::ofstream(base + "release") << "";
  holder.join();
  ASSERT_TRUE(started) << first.out << first.err;

  for (const test::ProgramResult* r : {&second, &undo}) {
    EXPECT_EQ(r->exitCode, 1) << r->out << r->err;
    EXPECT_NE(r->err.find(kGameBusy), std::string::npos) << r->err;
  }
  EXPECT_EQ(first.exitCode, 0) << first.out << first.err;
  // Only the first install's record: the second changed nothing.
  EXPECT_EQ(test::ListFolder(FromNativePath(game + "trilo-records")).size(), 1u);
}

}  // namespace
}  // namespace trilo
