#include <gtest/gtest.h>

#include "install/installer_app.h"
#include "install/interface_text.h"
#include "test_support.h"

namespace trilo {
namespace {

using test::ScriptedInteraction;
using test::TempDir;

class ConfigTest : public ::testing::Test {
 protected:
  // Starts the installer in the package folder, as a user would.
  void StartWith(const std::string* confIni) {
    if (confIni) test::WriteFile(pkg / "conf.ini", *confIni);
    test::ScopedCurrentFolder in(pkg.Path());
    app.StartUp();
  }
  void StartWith(const std::string& confIni) { StartWith(&confIni); }

  TempDir pkg;
  ScriptedInteraction ui;
  InstallerApp app{ui};
};

TEST_F(ConfigTest, NoConfIniGivesDefaultsAndNoMessage) {
  StartWith(nullptr);
  const InstallSettings& s = app.Settings;
  EXPECT_EQ(app.WorkingDir, pkg.Path());
  EXPECT_EQ(s.NewConfig + s.NewPlayer + s.NewShortcut + s.GDB, 0);
  EXPECT_EQ(s.Version2002, 1);
  EXPECT_TRUE(s.VersionList.empty());
  EXPECT_EQ(s.Title, "Trilo Installer");
  EXPECT_EQ(s.ConfigString, TXT_DEFAULT_CONFIG_PROMPT);
  EXPECT_EQ(s.ConfigPattern, "CONFIG.INI");
  EXPECT_EQ(s.SplashDelay, 3000);
  EXPECT_EQ(s.SplashOn, 0);
  EXPECT_EQ(s.Desc, "Please Rename Me");  // not read: NewShortcut is off
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ConfigTest, EverySectionIsReadWhenItsFlagsAreOn) {
  StartWith(
      "[VESKAINSTALL]\r\nNewConfig=1\r\nNewPlayer=2\r\nNewShortcut=1\r\nGDB=1\r\nVersion2002=0\r\n"
      "PreInstall=pre.exe ${TOPDIR}\r\nPostInstall=post.exe\r\nVersion0=Road\r\nVersion1=Track\r\n"
      "[VESKACONFIG]\r\nConfigName=mod.ini\r\nSeasonDir=Mod\\Season\\\r\nSaveDir=Mod\\Save\\\r\n"
      "ReplayDir=Mod\\Vcr\\\r\nOptionsDir=O\\\r\nSoundDir=S\\\r\nLogDir=L\\\r\nMovieDir=M\\\r\n"
      "VehiclesDir=V\\\r\nTracksDir=T\\\r\nDriversDir=D\\\r\n"
      "[VESKASHORTCUT]\r\nIconFile=mod.ico\r\nDesc=My Mod\r\n"
      "[GUI]\r\nConfigString=Where is it?\r\nConfigPattern=F1.INI\r\nTitle=MyPack Setup\r\n"
      "SplashOn=1\r\nSplashDelay=250\r\nSplashImg=splash.bmp\r\n");
  const InstallSettings& s = app.Settings;
  EXPECT_EQ(s.NewConfig, 1);
  EXPECT_EQ(s.NewPlayer, 2);
  EXPECT_EQ(s.GDB, 1);
  EXPECT_EQ(s.Version2002, 0);
  EXPECT_EQ(s.PreInstall, "pre.exe ${TOPDIR}");  // placeholders are expanded only when run
  EXPECT_EQ(s.VersionList, (std::vector<std::string>{"Road", "Track"}));
  EXPECT_EQ(s.ConfigName, "mod.ini");
  EXPECT_EQ(s.SeasonDir, "Mod\\Season\\");
  EXPECT_EQ(s.ReplayDir, "Mod\\Vcr\\");
  EXPECT_EQ(s.DriversDir, "D\\");
  EXPECT_EQ(s.IconFile, "mod.ico");
  EXPECT_EQ(s.Desc, "My Mod");
  EXPECT_EQ(s.ConfigString, "Where is it?");
  EXPECT_EQ(s.ConfigPattern, "F1.INI");
  EXPECT_EQ(s.Title, "MyPack Setup");
  EXPECT_EQ(s.SplashOn, 1);
  EXPECT_EQ(s.SplashDelay, 250);
  EXPECT_EQ(s.SplashImg, "splash.bmp");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ConfigTest, FlagsOffLeaveTheirSectionsUnread) {
  StartWith(
      "[VESKAINSTALL]\nNewConfig=0\nNewShortcut=0\n[VESKACONFIG]\nConfigName=mod.ini\nSaveDir=X\\\n"
      "[VESKASHORTCUT]\nDesc=Ignored\nIconFile=i.ico\n");
  EXPECT_EQ(app.Settings.ConfigName, "");
  EXPECT_EQ(app.Settings.SaveDir, "");
  EXPECT_EQ(app.Settings.Desc, "Please Rename Me");
  EXPECT_EQ(app.Settings.IconFile, "");
}

TEST_F(ConfigTest, ShortcutWithoutDescHasAnEmptyDescription) {
  StartWith("[VESKAINSTALL]\nNewShortcut=1\n");
  EXPECT_EQ(app.Settings.Desc, "");
}

TEST_F(ConfigTest, MissingConfigNameStopsReadingWithItsMessage) {
  StartWith(
      "[VESKAINSTALL]\nNewConfig=1\nNewShortcut=1\nGDB=1\nVersion0=A\n[VESKACONFIG]\nConfigName=\nSaveDir=S\\\n"
      "[VESKASHORTCUT]\nDesc=D\n[GUI]\nTitle=T\nSplashOn=1\nSplashDelay=5\n");
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Couldn't get new config file name from conf.ini"});
  const InstallSettings& s = app.Settings;
  // What was read before the stop stays; everything after keeps its value
  // before reading.
  EXPECT_EQ(s.GDB, 1);
  EXPECT_EQ(s.VersionList.size(), 1u);
  EXPECT_EQ(s.SaveDir, "");
  EXPECT_EQ(s.Desc, "Please Rename Me");
  EXPECT_EQ(s.Title, "");
  EXPECT_EQ(s.ConfigString, "");
  EXPECT_EQ(s.ConfigPattern, "");
  EXPECT_EQ(s.SplashOn, 0);
  EXPECT_EQ(s.SplashDelay, 3000);
  EXPECT_FALSE(app.ReadConfiguration());
}

TEST_F(ConfigTest, VersionListEndsAtTheFirstGap) {
  StartWith("[VESKAINSTALL]\nVersion1=B\n");
  EXPECT_TRUE(app.Settings.VersionList.empty());
  StartWith("[VESKAINSTALL]\nVersion0=A\nVersion1=B\nVersion3=D\n");
  EXPECT_EQ(app.Settings.VersionList, (std::vector<std::string>{"A", "B"}));
  // Reading again starts a new list rather than adding to the old one.
  ASSERT_TRUE(app.ReadConfiguration());
  EXPECT_EQ(app.Settings.VersionList.size(), 2u);
  StartWith("[VESKAINSTALL]\nVersion0=A\nVersion1=\nVersion2=C\n");
  EXPECT_EQ(app.Settings.VersionList, std::vector<std::string>{"A"});
}

TEST_F(ConfigTest, VersionListHoldsAtMost256Entries) {
  std::string ini = "[VESKAINSTALL]\n";
  for (int i = 0; i < 300; ++i) ini += "Version" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
  StartWith(ini);
  ASSERT_EQ(app.Settings.VersionList.size(), 256u);
  EXPECT_EQ(app.Settings.VersionList.front(), "v0");
  EXPECT_EQ(app.Settings.VersionList.back(), "v255");
}

TEST_F(ConfigTest, ValuesAreCutAt1023Characters) {
  StartWith("[VESKAINSTALL]\nPostInstall=" + std::string(1500, 'p') + "\n[GUI]\nSplashDelay=abc\nSplashOn=-1\n");
  EXPECT_EQ(app.Settings.PostInstall, std::string(1023, 'p'));
  EXPECT_EQ(app.Settings.SplashDelay, 0);  // no leading digits
  EXPECT_EQ(app.Settings.SplashOn, -1);    // on: not 0
}

TEST_F(ConfigTest, WorkingDirIsRestoredBeforeReading) {
  StartWith("[GUI]\nTitle=First\n");
  TempDir elsewhere;
  test::WriteFile(elsewhere / "conf.ini", "[GUI]\nTitle=Wrong\n");
  test::ScopedCurrentFolder away(elsewhere.Path());
  ASSERT_TRUE(app.ReadConfiguration());
  EXPECT_EQ(app.Settings.Title, "First");
}

class DeriveStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MakeFolder(game / "Save\\Driver1");
    test::WriteFile(game / "f1_9902.exe", "MZ");
    test::WriteFile(game / "CONFIG.INI", "");
  }
  TempDir game;
  ScriptedInteraction ui;
  InstallerApp app{ui};
};

TEST_F(DeriveStateTest, TopDirAndPlayerNameFromThePaths) {
  std::string exe = game / "f1_9902.exe", cfg = game / "CONFIG.INI";
  ASSERT_TRUE(app.DeriveInstallState(exe, cfg, game / "Save\\Driver1\\Driver1.PLR"));
  EXPECT_EQ(app.State.GameExePath, exe);
  EXPECT_EQ(app.State.OldConfigPath, cfg);
  EXPECT_EQ(app.State.TOPDIR, game.Path());
  EXPECT_EQ(app.State.PLAYERNAME, "Driver1");
  EXPECT_EQ(app.State.TemplatePlayerPath, game / "Save\\Driver1\\Driver1.PLR");
}

TEST_F(DeriveStateTest, PlayerNameEdgeCases) {
  std::string exe = game / "f1_9902.exe", cfg = game / "CONFIG.INI";
  ASSERT_TRUE(app.DeriveInstallState(exe, cfg, ""));  // the template is not required
  EXPECT_EQ(app.State.PLAYERNAME, "");
  ASSERT_TRUE(app.DeriveInstallState(exe, cfg, "C:\\x\\.PLR"));
  EXPECT_EQ(app.State.PLAYERNAME, "");
  ASSERT_TRUE(app.DeriveInstallState(exe, cfg, "Ab.PLR"));  // no folder at all
  EXPECT_EQ(app.State.PLAYERNAME, "Ab");
}

TEST_F(DeriveStateTest, PathsThatNameNothingAreClearedAndRefused) {
  std::string exe = game / "gone.exe", cfg = game / "CONFIG.INI";
  app.State.TOPDIR = "kept";
  EXPECT_FALSE(app.DeriveInstallState(exe, cfg, ""));
  EXPECT_EQ(exe, "");
  EXPECT_EQ(cfg, game / "CONFIG.INI");
  EXPECT_EQ(app.State.TOPDIR, "kept");  // unchanged on refusal
  std::string folderAsExe = game / "Save";  // a folder passes the status query
  EXPECT_TRUE(app.DeriveInstallState(folderAsExe, cfg, ""));
  std::string noConfig;
  exe = game / "f1_9902.exe";
  EXPECT_FALSE(app.DeriveInstallState(exe, noConfig, ""));
}

TEST_F(DeriveStateTest, AVersionMustBeChosenWhenThePackageHasVersions) {
  std::string exe = game / "f1_9902.exe", cfg = game / "CONFIG.INI";
  app.Settings.VersionList = {"A", "B"};
  EXPECT_FALSE(app.DeriveInstallState(exe, cfg, ""));
  EXPECT_EQ(exe, game / "f1_9902.exe");
  app.State.SelectedVersion = "B";
  EXPECT_TRUE(app.DeriveInstallState(exe, cfg, ""));
}

}  // namespace
}  // namespace trilo
