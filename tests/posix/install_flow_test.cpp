// The order and rules of locating the game's files, and the Install and
// Cancel handlers, against scripted answers.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "install/install_flow.h"
#include "install/interface_text.h"
#include "platform/posix/path_map.h"
#include "test_support.h"

namespace trilo {
namespace {

namespace fs = std::filesystem;
using test::ScriptedInteraction;

class InstallFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("WINEPREFIX");
    if (old) savedPrefix = old, hadPrefix = true;
    prefix = ToNativePath(dir.Path()) + "prefix";
    fs::create_directories(prefix + "/dosdevices");
    fs::create_symlink("/", prefix + "/dosdevices/z:");
    setenv("WINEPREFIX", prefix.c_str(), 1);
    app.Settings.ConfigPattern = "CONFIG.INI";
    app.Settings.ConfigString = "Where is the configuration?";
  }
  void TearDown() override {
    if (hadPrefix) setenv("WINEPREFIX", savedPrefix.c_str(), 1);
    else unsetenv("WINEPREFIX");
  }
  // Registers `folder` (a core path) as the game's "Install Dir".
  void Register(const std::string& folder) {
    std::string value = "Z:";
    for (char c : folder) value += c == '\\' ? std::string("\\\\") : std::string(1, c);
    test::WriteFile(FromNativePath(prefix + "/system.reg"),
                    "[Software\\\\EA SPORTS\\\\F1 9902] 1\n\"Install Dir\"=\"" + value + "\"\n");
  }

  test::TempDir dir;
  std::string prefix, savedPrefix;
  bool hadPrefix = false;
  ScriptedInteraction ui;
  InstallerApp app{ui};
  PathFields fields;
};

TEST_F(InstallFlowTest, ProposalsFromTheRegistryInOrder) {
  Register(dir.Path() + "Game");
  app.Settings.NewPlayer = 1;
  app.Settings.VersionList = {"Road", "Track", "Classic"};
  ui.AcceptProposal();
  ui.ChooseVersionAnswer(true, "Track");
  ui.AcceptProposal();
  ui.Answer("C:\\p.PLR");
  LocateGameFiles(app, fields);

  ASSERT_EQ(ui.locateRequests.size(), 3u);
  const LocateRequest& exe = ui.locateRequests[0];
  EXPECT_EQ(exe.path, dir.Path() + "Game\\f1_9902.exe");
  EXPECT_EQ(exe.filter, TXT_EXE_FILTER);
  EXPECT_EQ(exe.defaultName, "f1_9902.exe");
  EXPECT_EQ(exe.prompt, TXT_LOCATE_GAME_EXE);
  const LocateRequest& cfg = ui.locateRequests[1];
  EXPECT_EQ(cfg.path, dir.Path() + "Game\\CONFIG.INI");
  EXPECT_EQ(cfg.prompt, "Where is the configuration?");
  EXPECT_EQ(cfg.filter, TXT_INI_FILTER);
  EXPECT_EQ(cfg.defaultName, "CONFIG.INI");
  const LocateRequest& plr = ui.locateRequests[2];
  EXPECT_EQ(plr.path, "");
  EXPECT_EQ(plr.prompt, TXT_LOCATE_PLAYER);
  EXPECT_EQ(plr.filter, TXT_PLR_FILTER);
  // The version is chosen between the executable and the configuration.
  EXPECT_EQ(ui.log[1], "version");
  EXPECT_EQ(ui.versionRequests[0], app.Settings.VersionList);
  EXPECT_EQ(app.State.SelectedVersion, "Track");
  EXPECT_EQ(fields.gameExe, dir.Path() + "Game\\f1_9902.exe");
  EXPECT_EQ(fields.gameConfig, dir.Path() + "Game\\CONFIG.INI");
  EXPECT_EQ(fields.templatePlayer, "C:\\p.PLR");
}

TEST_F(InstallFlowTest, NoRegistryNoProposalsAndCancelsKeepValues) {
  app.Settings.VersionList = {"Only"};
  fields.gameExe = "kept.exe";
  ui.CancelLocate();
  ui.CancelLocate();
  LocateGameFiles(app, fields);
  ASSERT_EQ(ui.locateRequests.size(), 2u);  // no player question without NewPlayer
  EXPECT_EQ(ui.locateRequests[0].path, "kept.exe");
  EXPECT_EQ(ui.locateRequests[1].path, "");
  EXPECT_TRUE(ui.versionRequests.empty());  // one version is taken without asking
  EXPECT_EQ(app.State.SelectedVersion, "Only");
  EXPECT_EQ(fields.gameExe, "kept.exe");
  EXPECT_EQ(fields.gameConfig, "");
}

TEST_F(InstallFlowTest, RegistryFolderIsJoinedUnchanged) {
  Register(dir.Path() + "Game\\");
  app.Settings.ConfigPattern = "";
  ui.AcceptProposal();
  ui.AcceptProposal();
  LocateGameFiles(app, fields);
  EXPECT_EQ(ui.locateRequests[0].path, dir.Path() + "Game\\\\f1_9902.exe");
  EXPECT_EQ(ui.locateRequests[1].path, "");  // no pattern: no proposal
  EXPECT_EQ(ui.locateRequests[1].defaultName, "");
}

TEST_F(InstallFlowTest, OptionsErrorLocatesAgainAndInstallsNothing) {
  test::RecordingProgress progress;
  app.Settings.VersionList = {"A", "B"};
  ui.ChooseVersionAnswer(false, "");
  ui.AcceptProposal();
  ui.AcceptProposal();
  LocateGameFiles(app, fields);
  EXPECT_EQ(app.State.SelectedVersion, "");
  // A second round of questions follows the notice.
  ui.Answer("x.exe");
  ui.ChooseVersionAnswer(true, "B");
  ui.Answer("y.ini");
  bool began = false;
  EXPECT_EQ(HandleInstall(app, fields, progress, [&] { began = true; }), InstallResult::OptionsError);
  EXPECT_FALSE(began);
  ASSERT_EQ(ui.notices.size(), 1u);
  EXPECT_EQ(ui.notices[0], Notice::OptionsError);
  EXPECT_EQ(ui.log[3], "notice:" TXT_OPTIONS_ERROR);
  EXPECT_EQ(fields.gameExe, "x.exe");
  EXPECT_EQ(app.State.SelectedVersion, "B");
  EXPECT_TRUE(progress.calls.empty());
  EXPECT_EQ(app.State.TOPDIR, "");
}

TEST_F(InstallFlowTest, CancelShowsItsNotice) {
  HandleCancel(app);
  EXPECT_EQ(ui.log, std::vector<std::string>{"notice:" TXT_INSTALL_CANCELLED});
}

}  // namespace
}  // namespace trilo
