#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "install/installer_app.h"
#include "test_support.h"

namespace trilo {
namespace test {

/// A package folder "pkg\" (WorkingDir) and a game folder "game\" (TOPDIR)
/// in a fresh temporary folder, and an installer that talks to a script.
/// The process's current folder is given back at the end.
class StepTest : public ::testing::Test {
 protected:
  StepTest() {
    MakeFolder(pkg);
    MakeFolder(game);
    app.WorkingDir = pkg;
    app.State.TOPDIR = game;
  }

  static std::vector<std::string> Names(const std::string& folder) { return ListFolder(folder); }

  TempDir dir;
  ScopedCurrentFolder keepCurrent{dir.Path()};
  const std::string pkg = dir / "pkg\\";
  const std::string game = dir / "game\\";
  ScriptedInteraction ui;
  InstallerApp app{ui};
};

}  // namespace test
}  // namespace trilo
