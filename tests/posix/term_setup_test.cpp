// trilo-setup driven as a person or a script would: unattended runs with
// flags, and the interactive prompts on a pseudo-terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "code_page_names.h"
#include "platform/posix/path_map.h"
#include "posix/program_runner.h"
#include "record_tree.h"
#include "test_support.h"
#include "trilo_version.h"
#include "install/interface_text.h"

namespace trilo {
namespace {

namespace fs = std::filesystem;
using test::PtySession;
using test::RunProgram;

const char kOptionsError[] = TXT_OPTIONS_ERROR;

class TermSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = ToNativePath(dir.Path());
    fs::copy(std::string(TRILO_SOURCE_DIR) + "/examples/sample-game", base + "game", fs::copy_options::recursive);
    fs::copy(std::string(TRILO_SOURCE_DIR) + "/examples/sample-package", base + "pkg", fs::copy_options::recursive);
    game = base + "game/";
    pkg = base + "pkg/";
    // An empty Wine prefix: no registry entry unless a test writes one.
    fs::create_directories(base + "prefix");
    env = {"WINEPREFIX=" + base + "prefix"};
  }
  std::vector<std::string> Args(std::vector<std::string> extra) {
    std::vector<std::string> argv = {TRILO_TERM_SETUP, "-C", pkg};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return argv;
  }
  std::vector<std::string> FullFlags() {
    return {"--game-exe", game + "f1_9902.exe", "--config", game + "CONFIG.INI", "--player",
            game + "Save/Driver1/Driver1.PLR"};
  }
  std::string Read(const std::string& nativePath) { return test::ReadFile(FromNativePath(nativePath)); }
  bool Exists(const std::string& nativePath) { return fs::exists(nativePath); }

  test::TempDir dir;
  std::string base, game, pkg;
  std::vector<std::string> env;
};

TEST_F(TermSetupTest, UnattendedInstallOfTheSample) {
  auto flags = FullFlags();
  flags.insert(flags.begin(), {"--unattended", "--package-version", "Full"});
  test::ProgramResult r = RunProgram(Args(flags), "", env);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find(TXT_INSTALL_COMPLETE "\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\033"), std::string::npos) << "no animation without a terminal";

  const std::string config = Read(game + "ClassicMod.ini");
  // The package keeps the game's season: its circuits are merged there.
  EXPECT_NE(config.find("\r\nSEASONDIR=Season\\\r\n"), std::string::npos) << config;
  EXPECT_NE(config.find("\r\nOPTIONSDIR=Options\\\r\n"), std::string::npos) << config;
  EXPECT_NE(config.find("Resolution=1024x768\r\n"), std::string::npos);
  const std::string player = Read(game + "ClassicMod/Save/Driver1/Driver1.PLR");
  EXPECT_NE(player.find("TelemetryFile=\"ClassicMod\\Replays\\_TEMP.SPT\"\r\n"), std::string::npos) << player;
  EXPECT_EQ(player.find("DriverName="), std::string::npos);
  EXPECT_EQ(Read(game + "ClassicMod/Cars/Classic2/classic2.veh"), Read(pkg + "content/cars/Classic2/classic2.veh"));
  const std::string gdb = Read(game + "Season/game.gdb");
  EXPECT_NE(gdb.find("  Monza 1967\r\n  {"), std::string::npos) << gdb;
  EXPECT_NE(gdb.find("  Albert Park = 1:28.214\r\n  Sepang = 1:38.049\r\n  Interlagos = 1:15.725\r\n  Monza 1967 = "
                     "1:28.500\r\n"),
            std::string::npos)
      << gdb;
  EXPECT_TRUE(Exists(game + "Season/game.gdb.bak"));
  EXPECT_TRUE(Exists(game + "Classic Mod.lnk"));
  EXPECT_FALSE(Exists(pkg + "log.txt"));
  // How to start the game as the shortcut would, the game lying outside any Wine prefix.
  EXPECT_NE(r.out.find(TXT_INSTALL_COMPLETE "\nTo play with the new configuration: cd " + game + " && wine 'Z:" +
                       test::CorePath(game) + "f1_9902.exe' config=ClassicMod.ini\n"),
            std::string::npos)
      << r.out;
}

TEST_F(TermSetupTest, UnattendedFailureAndOptionsError) {
  // A failing step: its message on standard error, then the failure notice.
  fs::remove(pkg + "Full.files.txt");
  auto flags = FullFlags();
  flags.insert(flags.begin(), {"--unattended", "--package-version", "Full"});
  test::ProgramResult r = RunProgram(Args(flags), "", env);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "trilo-setup: Error opening file template\n");
  EXPECT_NE(r.out.find(TXT_INSTALL_FAILED "\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(TXT_INSTALL_COMPLETE), std::string::npos);
  EXPECT_FALSE(Exists(game + "Classic Mod.lnk"));
  fs::remove(game + "ClassicMod.ini");

  // Two versions and none named: nothing can be chosen.
  flags = FullFlags();
  flags.insert(flags.begin(), "--unattended");
  r = RunProgram(Args(flags), "", env);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.out.find(kOptionsError), std::string::npos) << r.out;

  // An executable that does not exist.
  r = RunProgram(Args({"--unattended", "--package-version", "Lite", "--game-exe", game + "missing.exe", "--config",
                       game + "CONFIG.INI"}),
                 "", env);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.out.find(kOptionsError), std::string::npos);
  EXPECT_FALSE(Exists(game + "ClassicMod.ini"));
}

// Faults the install goes on past end it with "Install Complete." and exit 4.
TEST_F(TermSetupTest, UnattendedPartlyInstalledExitsFour) {
  struct Case {
    const char* name;
    void (*breakIt)(const std::string& game, const std::string& pkg);
    std::string message;
    const char* progress;  // the copy step's closing line
  } cases[] = {
      {"a content file is missing",
       [](const std::string&, const std::string& pkg) { fs::remove(pkg + "content/cars/Classic2/classic2.veh"); },
       "1 of 5 files could not be copied:\n  content\\cars\\Classic2\\classic2.veh: <reason>\n"
       "They are listed in log.txt.",
       "Copied 4 of 5 files, 1 failed\n"},
      // A folder where the shortcut goes: it cannot be saved there.
      {"the shortcut cannot be saved",
       [](const std::string& game, const std::string&) { fs::create_directory(game + "Classic Mod.lnk"); },
       "Save failed!", "Copied 5 of 5 files\n"},
  };
  for (const Case& c : cases) {
    fs::remove_all(base + "game");
    fs::remove_all(base + "pkg");
    SetUp();
    c.breakIt(game, pkg);
    auto flags = FullFlags();
    flags.insert(flags.begin(), {"--unattended", "--package-version", "Full"});
    test::ProgramResult r = RunProgram(Args(flags), "", env);
    EXPECT_EQ(r.exitCode, 4) << c.name << "\n" << r.out << r.err;
    EXPECT_EQ(test::WithoutReasons(r.err), "trilo-setup: " + c.message + "\n") << c.name;
    EXPECT_NE(r.out.find(c.progress), std::string::npos) << c.name << "\n" << r.out;
    EXPECT_NE(r.out.find(TXT_INSTALL_COMPLETE "\n"), std::string::npos) << c.name << "\n" << r.out;
    EXPECT_TRUE(Exists(game + "ClassicMod/Cars/Classic1/classic1.veh")) << c.name;
  }
}

// A package written on Windows in the players' code page, chosen with
// --code-page or taken from the locale: its names reach the disk as UTF-8,
// as the Windows installer makes them under Wine.
TEST_F(TermSetupTest, CodePageFromTheFlagOrTheLocale) {
  struct Case {
    unsigned codePage;
    std::vector<std::string> how;  // flags
    std::vector<std::string> environment;
  } cases[] = {
      {932, {"--code-page", "932"}, {}},
      {1251, {}, {"LC_ALL", "LC_CTYPE", "LANG=ru_RU.UTF-8"}},
      {1252, {"--code-page=1252"}, {"LC_ALL=ja_JP.UTF-8"}},
  };
  for (const Case& c : cases) {
    const test::CodePageNames* names = nullptr;
    for (const test::CodePageNames& n : test::CodePageNameTable())
      if (n.codePage == c.codePage) names = &n;
    ASSERT_NE(names, nullptr);
    const std::string pack = base + "pack" + std::to_string(c.codePage) + "/";
    fs::create_directories(pack + "content");
    test::WriteFile(FromNativePath(pack + "conf.ini"),
                    std::string("[VESKAINSTALL]\r\nNewShortcut=1\r\n[VESKASHORTCUT]\r\nDesc=") + names->desc + "\r\n");
    test::WriteFile(FromNativePath(pack + "dirs.txt"), std::string("${TOPDIR}") + names->folder + "\r\n");
    test::WriteFile(FromNativePath(pack + "files.txt"),
                    std::string("${TOPDIR}") + names->folder + "\\" + names->file + "=content\\" + names->file + "\r\n");
    std::ofstream(pack + "content/" + names->fileUtf8) << "copied";
    std::vector<std::string> argv = {TRILO_TERM_SETUP, "-C", pack, "--unattended", "--game-exe",
                                     game + "f1_9902.exe", "--config", game + "CONFIG.INI"};
    argv.insert(argv.end(), c.how.begin(), c.how.end());
    std::vector<std::string> environment = env;
    environment.insert(environment.end(), c.environment.begin(), c.environment.end());
    test::ProgramResult r = RunProgram(argv, "", environment);
    EXPECT_EQ(r.exitCode, 0) << c.codePage << "\n" << r.out << r.err;
    std::string copied;
    std::getline(std::ifstream(game + names->folderUtf8 + "/" + names->fileUtf8), copied);
    EXPECT_EQ(copied, "copied") << c.codePage;
    EXPECT_TRUE(Exists(game + names->descUtf8 + ".lnk")) << c.codePage;
  }
}

TEST_F(TermSetupTest, NamesTheCodePageCannotWriteAreRefused) {
  // The game and the package in a folder whose name code page 1252 lacks.
  const std::string japanese = base + "\xE6\x97\xA5\xE6\x9C\xAC/";
  fs::create_directory(japanese);
  fs::copy(base + "game", japanese + "game", fs::copy_options::recursive);
  fs::copy(base + "pkg", japanese + "pkg", fs::copy_options::recursive);
  const std::vector<std::string> gameFlags = {"--game-exe", japanese + "game/f1_9902.exe", "--config",
                                              japanese + "game/CONFIG.INI", "--player",
                                              japanese + "game/Save/Driver1/Driver1.PLR"};
  auto run = [&](const std::string& package, const char* codePage) {
    std::vector<std::string> argv = {TRILO_TERM_SETUP, "-C", package, "--unattended", "--package-version",
                                     "Lite", "--code-page", codePage};
    argv.insert(argv.end(), gameFlags.begin(), gameFlags.end());
    return RunProgram(argv, "", env);
  };

  // An argument: refused, naming it as it was given.
  test::ProgramResult r = run(pkg, "1252");
  EXPECT_EQ(r.exitCode, 64);
  EXPECT_NE(r.err.find("trilo-setup: \"" + japanese + "game/f1_9902.exe\" cannot be written in code page 1252\n"),
            std::string::npos)
      << r.err;
  // The package's own folder: refused before anything is read.
  r = RunProgram({TRILO_TERM_SETUP, "-C", japanese + "pkg", "--unattended", "--code-page", "1252"}, "", env);
  EXPECT_EQ(r.exitCode, 64);
  EXPECT_NE(r.err.find("\"" + japanese + "pkg\" cannot be written in code page 1252"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(japanese + "game/ClassicMod"));
  // In code page 932 they are names like any other.
  r = run(japanese + "pkg", "932");
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_TRUE(Exists(japanese + "game/ClassicMod/Cars/Classic1/classic1.veh"));

  for (const char* bad : {"12345", "abc", "0", "-1252"}) {
    r = RunProgram(Args({"--unattended", "--code-page", bad}), "", env);
    EXPECT_EQ(r.exitCode, 64) << bad;
    EXPECT_NE(r.err.find("code page"), std::string::npos) << bad << ": " << r.err;
  }
}

TEST_F(TermSetupTest, ProposalsComeFromTheWinePrefix) {
  fs::create_directories(base + "prefix/dosdevices");
  fs::create_symlink("/", base + "prefix/dosdevices/z:");
  std::string winGame = "Z:" + game.substr(0, game.size() - 1);
  std::string escaped;
  for (char c : winGame) {
    if (c == '/') escaped += "\\\\";
    else escaped += c;
  }
  test::WriteFile(FromNativePath(base + "prefix/system.reg"),
                  "WINE REGISTRY Version 2\n\n[Software\\\\Wow6432Node\\\\EA SPORTS\\\\F1 9902] 1\n"
                  "\"Install Dir\"=\"" + escaped + "\"\n");
  // Only the template player and the version are given: the game and its
  // configuration are the registry's proposals.
  test::ProgramResult r = RunProgram(
      Args({"--unattended", "--package-version", "Lite", "--player", game + "Save/Driver1/Driver1.PLR"}), "", env);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_TRUE(Exists(game + "ClassicMod/Cars/Classic1/classic1.veh"));
  EXPECT_FALSE(Exists(game + "ClassicMod/Cars/Classic2"));  // only the Lite version's folders
}

TEST_F(TermSetupTest, UsageErrorsAndInformation) {
  EXPECT_EQ(RunProgram({TRILO_TERM_SETUP, "--bogus"}).exitCode, 64);
  EXPECT_EQ(RunProgram({TRILO_TERM_SETUP, "--game-exe"}).exitCode, 64);
  EXPECT_EQ(RunProgram({TRILO_TERM_SETUP, "-C", base + "no-such-folder", "--unattended"}).exitCode, 64);
  test::ProgramResult help = RunProgram({TRILO_TERM_SETUP, "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--unattended"), std::string::npos);
  EXPECT_NE(help.out.find("trilo-check"), std::string::npos);
  test::ProgramResult version = RunProgram({TRILO_TERM_SETUP, "--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "trilo-setup " TRILO_VERSION "\n");
}

TEST_F(TermSetupTest, InteractiveAcceptChooseAndInstall) {
  PtySession s(Args(FullFlags()), "", env);
  ASSERT_TRUE(s.Expect("Classic Mod Setup")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Please locate your f1_9902.exe file")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Path [" + game + "f1_9902.exe]: ")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect("1) Full")) << s.Transcript();
  ASSERT_TRUE(s.Expect("2) Lite")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Version [Full]: ")) << s.Transcript();
  s.Send("2\r");
  ASSERT_TRUE(s.Expect("Please locate the game's configuration file")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect(TXT_LOCATE_PLAYER)) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect("Version:         Lite")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Install or Cancel? [I/c]: ")) << s.Transcript();
  s.Send("\r");
  // The live bar: count, percentage and the file being copied.
  ASSERT_TRUE(s.Expect("] 3/3 100% content/season/season.mod")) << s.Transcript();
  ASSERT_TRUE(s.Expect(TXT_INSTALL_COMPLETE)) << s.Transcript();
  EXPECT_EQ(s.Wait(), 0) << s.Transcript();
  EXPECT_TRUE(Exists(game + "ClassicMod/Cars/Classic1/classic1.veh"));
  EXPECT_FALSE(Exists(game + "ClassicMod/Cars/Classic2"));
}

// For people who never saw the dialogs: prompts fit the terminal, Tab
// completes a folder with "/", and the template player question lists the
// game's player files and proposes the first.
TEST_F(TermSetupTest, InteractivePromptsWrapAtTheTerminalsWidth) {
  PtySession s(Args({}), "", env, 40);
  ASSERT_TRUE(s.Expect("Please locate your f1_9902.exe file. If\r\nyou have changed the name of the file or\r\n"
                       "moved it, please browse to the correct\r\nfile and select it.\r\n"))
      << s.Transcript();
  s.Send("\x04");
  ASSERT_TRUE(s.Expect("This install contains more than one\r\nversion. Please select the version you\r\n"
                       "wish to install (you can install the\r\nother versions by running the\r\n"
                       "installation program again).\r\n"))
      << s.Transcript();
  s.Send("\x04");
  ASSERT_TRUE(s.Expect("Please locate the game's configuration\r\nfile (CONFIG.INI) to start from.\r\n"))
      << s.Transcript();
  s.Send("\x04");
  ASSERT_TRUE(s.Expect("Please locate a PLR file to use as a\r\ntemplate for a new player\r\n")) << s.Transcript();
  s.Send("\x04");
  ASSERT_TRUE(s.Expect("Install or Cancel? [I/c]: ")) << s.Transcript();
  s.Send("c\r");
  EXPECT_EQ(s.Wait(), 2) << s.Transcript();
}

TEST_F(TermSetupTest, InteractiveCompletionAndPlayerFiles) {
  fs::create_directories(game + "Save/Alice");
  std::ofstream(game + "Save/Alice/Alice.plr") << "DriverName=Alice\n";
  fs::create_directories(game + "Save/Empty");
  std::ofstream(game + "Save/notes.PLR") << "not in a player folder\n";
  PtySession s(Args({"--config", game + "CONFIG.INI"}), "", env);
  ASSERT_TRUE(s.Expect("Path (Ctrl-D cancels): ")) << s.Transcript();
  // "ga" completes to the folder "game/", ready for the file's name.
  s.Send(base + "ga\t");
  s.Send("f1_9902.exe\r");
  ASSERT_TRUE(s.Expect("Version [Full]: ")) << s.Transcript();
  s.Send("2\r");
  ASSERT_TRUE(s.Expect("Path [" + game + "CONFIG.INI]: ")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect(TXT_LOCATE_PLAYER "\r\n  1) " + game + "Save/Alice/Alice.plr\r\n  2) " + game +
                       "Save/Driver1/Driver1.PLR\r\nPath [" + game + "Save/Alice/Alice.plr]: "))
      << s.Transcript();
  s.Send("2\r");
  ASSERT_TRUE(s.Expect("Game executable: " + game + "f1_9902.exe\r\n")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Template player: " + game + "Save/Driver1/Driver1.PLR\r\n")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Install or Cancel? [I/c]: ")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect(TXT_INSTALL_COMPLETE)) << s.Transcript();
  EXPECT_EQ(s.Wait(), 0) << s.Transcript();
  EXPECT_TRUE(Exists(game + "ClassicMod/Save/Driver1/Driver1.PLR"));
}

TEST_F(TermSetupTest, InteractiveEmptyProposalsAndCancelledQuestions) {
  // No flags and no registry entry: nothing is proposed.
  PtySession s(Args({}), "", env);
  ASSERT_TRUE(s.Expect("Please locate your f1_9902.exe file")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Path (Ctrl-D cancels): ")) << s.Transcript();
  s.Send("\r");  // nothing proposed, nothing typed: asked again
  ASSERT_TRUE(s.Expect("Please type a path")) << s.Transcript();
  s.Send("\x04");
  ASSERT_TRUE(s.Expect("Version [Full]: ")) << s.Transcript();
  s.Send("\x04");
  ASSERT_TRUE(s.Expect("Path (Ctrl-D cancels): ")) << s.Transcript();
  s.Send("\x04");
  ASSERT_TRUE(s.Expect("Path (Ctrl-D cancels): ")) << s.Transcript();
  s.Send("\x04");
  ASSERT_TRUE(s.Expect("Game executable: (none)")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Version:         (none)")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Install or Cancel? [I/c]: ")) << s.Transcript();
  s.Send("i\r");
  ASSERT_TRUE(s.Expect(kOptionsError)) << s.Transcript();
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(s.Expect(i == 1 ? "Version [Full]: " : "Path (Ctrl-D cancels): ")) << s.Transcript();
    s.Send("\x04");
  }
  ASSERT_TRUE(s.Expect("Install or Cancel? [I/c]: ")) << s.Transcript();
  s.Send("cancel\r");
  ASSERT_TRUE(s.Expect(TXT_INSTALL_CANCELLED)) << s.Transcript();
  EXPECT_EQ(s.Wait(), 2);
}

TEST_F(TermSetupTest, InteractiveReplaceRetryAndCancel) {
  PtySession s(Args({"--config", game + "CONFIG.INI", "--player", game + "Save/Driver1/Driver1.PLR"}), "", env);
  ASSERT_TRUE(s.Expect("Path (Ctrl-D cancels): ")) << s.Transcript();
  s.Send(game + "gone.exe\r");  // a typed path replaces the (empty) proposal
  // Refused at once, with the reason; Ctrl-D leaves the question unanswered.
  ASSERT_TRUE(s.Expect(game + "gone.exe: there is no such file.\r\nPath (Ctrl-D cancels): ")) << s.Transcript();
  s.Send("\x04");
  ASSERT_TRUE(s.Expect("Version [Full]: ")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect("Path [" + game + "CONFIG.INI]: ")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect("Path [" + game + "Save/Driver1/Driver1.PLR]: ")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect("Install or Cancel? [I/c]: ")) << s.Transcript();
  s.Send("\r");
  // No executable: the options error, then every question again.
  ASSERT_TRUE(s.Expect(kOptionsError)) << s.Transcript();
  ASSERT_TRUE(s.Expect("Path (Ctrl-D cancels): ")) << s.Transcript();
  s.Send(game + "f1_9902.exe\r");
  ASSERT_TRUE(s.Expect("Version [Full]: ")) << s.Transcript();
  s.Send("\x04");  // Ctrl-D: the version question is cancelled, Full stays chosen
  ASSERT_TRUE(s.Expect("Path [" + game + "CONFIG.INI]: ")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect("Path [")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect("Version:         Full")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Install or Cancel? [I/c]: ")) << s.Transcript();
  s.Send("c\r");
  ASSERT_TRUE(s.Expect(TXT_INSTALL_CANCELLED)) << s.Transcript();
  EXPECT_EQ(s.Wait(), 2);
  EXPECT_FALSE(Exists(game + "ClassicMod.ini"));
}

// What the rewrite of the game's database would lose is told before the
// first change; No cancels with nothing changed, unattended runs go on.
TEST_F(TermSetupTest, AWarningBeforeTheGamesDatabaseLosesLines) {
  const std::string database = game + "Season/game.gdb";
  std::ofstream(database, std::ios::binary | std::ios::app)
      << "Season_Weather\r\n{\r\n  Rain = 0\r\n}\r\n"                       // lines 66-69
      << "F1_Circuit_Race_Times\r\n{\r\n  Melbourne = 1:30.000\r\n}\r\n";   // lines 70-73
  const std::string warning = "trilo-setup: warning: the install rewrites " + database +
                              " and drops 2 items of it that the installer does not keep (value lines, settings "
                              "blocks or sections: trilo-check names each), at lines 66 and 72. The install record "
                              "keeps the whole file: trilo-setup --undo restores it.\n";
  const test::Tree before = test::ReadTree(FromNativePath(game));
  auto flags = FullFlags();
  flags.insert(flags.begin(), {"--package-version", "Full"});
  PtySession s(Args(flags), "", env);
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(s.Expect("]: ")) << s.Transcript();
    s.Send("\r");
  }
  ASSERT_TRUE(s.Expect("Install or Cancel? [I/c]: ")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect("at lines 66 and 72.")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Go on with the install? [Y/n]: ")) << s.Transcript();
  s.Send("n\r");
  ASSERT_TRUE(s.Expect(TXT_INSTALL_CANCELLED)) << s.Transcript();
  EXPECT_EQ(s.Wait(), 2);
  EXPECT_EQ(test::ReadTree(FromNativePath(game)), before) << "nothing changed";
  EXPECT_FALSE(Exists(game + "trilo-records"));

  flags.insert(flags.begin(), "--unattended");
  test::ProgramResult r = RunProgram(Args(flags), "", env);
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.err, warning);
  EXPECT_NE(Read(database).find("  Albert Park = 1:28.214\r\n"), std::string::npos);
  EXPECT_EQ(Read(database).find("Season_Weather"), std::string::npos);
  EXPECT_EQ(Read(database + ".bak"), before.at("Season/game.gdb"));
}

TEST_F(TermSetupTest, ListAndUndoTheRecordedInstall) {
  const test::Tree before = test::ReadTree(FromNativePath(game));
  auto flags = FullFlags();
  flags.insert(flags.begin(), {"--unattended", "--package-version", "Full"});
  ASSERT_EQ(RunProgram(Args(flags), "", env).exitCode, 0);

  const std::vector<std::string> gameExe = {"--game-exe", game + "f1_9902.exe"};
  auto run = [&](std::vector<std::string> argv) {
    argv.insert(argv.begin(), TRILO_TERM_SETUP);
    argv.insert(argv.end(), gameExe.begin(), gameExe.end());
    return RunProgram(argv, "", env);
  };
  test::ProgramResult list = run({"--list-installs"});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_EQ(list.out.rfind("0001  Classic Mod Setup (Full)  ", 0), 0u) << list.out;
  EXPECT_NE(list.out.find("  completed  9 files created, 1 replaced, 9 folders created\n"), std::string::npos)
      << list.out;

  // Asked first, and No is the default.
  PtySession s({TRILO_TERM_SETUP, "--undo", "--game-exe", game + "f1_9902.exe"}, "", env);
  ASSERT_TRUE(s.Expect("Path [" + game + "f1_9902.exe]: ")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect("To restore: 1 file")) << s.Transcript();
  ASSERT_TRUE(s.Expect("To remove: 9 files and 9 folders")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Undo the install of Classic Mod Setup from ")) << s.Transcript();
  ASSERT_TRUE(s.Expect("? [y/N]: ")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect(TXT_UNDO_CANCELLED)) << s.Transcript();
  EXPECT_EQ(s.Wait(), 2);

  test::ProgramResult undo = run({"--undo", "last", "--unattended"});
  EXPECT_EQ(undo.exitCode, 0) << undo.err;
  EXPECT_NE(undo.out.find(TXT_UNDO_COMPLETE), std::string::npos) << undo.out;
  EXPECT_EQ(test::ReadTree(FromNativePath(game)), before);
  undo = run({"--undo", "--unattended"});
  EXPECT_EQ(undo.exitCode, 1);
  EXPECT_EQ(undo.err, "trilo-setup: No install is recorded in " + game + "\n");
  EXPECT_EQ(run({"--list-installs"}).out, "No install is recorded in " + game + "\n");

  EXPECT_EQ(run({"--undo", "--config", game + "CONFIG.INI"}).exitCode, 64);
  EXPECT_EQ(run({"--force"}).exitCode, 64);
}

// A title in the package's code page (1252 here) is shown in the terminal's
// characters, in a UTF-8 locale and in C, where the line editor reads only
// ASCII: the plan, the question and the list.
TEST_F(TermSetupTest, InteractiveUndoOfANonAsciiTitle) {
  std::string conf = Read(pkg + "conf.ini");
  conf.replace(conf.find("Title=Classic Mod Setup"), 23, "Title=\xDC" "berholman\xF6" "ver Mod");
  test::WriteFile(FromNativePath(pkg + "conf.ini"), conf);
  auto flags = FullFlags();
  flags.insert(flags.begin(), {"--unattended", "--package-version", "Full"});
  ASSERT_EQ(RunProgram(Args(flags), "", env).exitCode, 0);

  const struct {
    const char* locale;
    std::string title;
  } cases[] = {{"LC_ALL=C.UTF-8", "\xC3\x9C" "berholman\xC3\xB6" "ver Mod"},
               // Installed or not, the locale says the terminal writes UTF-8.
               {"LC_ALL=de_DE.UTF-8", "\xC3\x9C" "berholman\xC3\xB6" "ver Mod"},
               {"LC_ALL=C", "?berholman?ver Mod"}};
  for (const auto& c : cases) {
    std::vector<std::string> environment = env;
    environment.push_back(c.locale);
    test::ProgramResult list =
        RunProgram({TRILO_TERM_SETUP, "--list-installs", "--game-exe", game + "f1_9902.exe"}, "", environment);
    EXPECT_EQ(list.out.rfind("0001  " + c.title + " (Full)  20", 0), 0u) << c.locale << "\n" << list.out;

    PtySession s({TRILO_TERM_SETUP, "--undo", "--game-exe", game + "f1_9902.exe"}, "", environment);
    ASSERT_TRUE(s.Expect("Path [" + game + "f1_9902.exe]: ")) << c.locale << "\n" << s.Transcript();
    s.Send("\r");
    ASSERT_TRUE(s.Expect("Install 0001-" + c.title + ", version Full, of ")) << c.locale << "\n" << s.Transcript();
    ASSERT_TRUE(s.Expect("Undo the install of " + c.title + " from ")) << c.locale << "\n" << s.Transcript();
    ASSERT_TRUE(s.Expect("? [y/N]: ")) << c.locale << "\n" << s.Transcript();
    s.Send("\r");
    ASSERT_TRUE(s.Expect(TXT_UNDO_CANCELLED)) << c.locale << "\n" << s.Transcript();
    EXPECT_EQ(s.Wait(), 2) << c.locale << "\n" << s.Transcript();
  }
  PtySession s({TRILO_TERM_SETUP, "--undo", "--game-exe", game + "f1_9902.exe"}, "", env);
  ASSERT_TRUE(s.Expect("Path [")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect("? [y/N]: ")) << s.Transcript();
  s.Send("y\r");
  ASSERT_TRUE(s.Expect(TXT_UNDO_COMPLETE)) << s.Transcript();
  EXPECT_EQ(s.Wait(), 0) << s.Transcript();
  EXPECT_FALSE(Exists(game + "ClassicMod"));

  // A message names a path once converted, not twice.
  const std::string moved = base + "\xC3\x9C" "ber/";
  fs::create_directory(moved);
  fs::rename(base + "game", moved + "game");
  std::vector<std::string> utf8 = env;
  utf8.push_back("LC_ALL=C.UTF-8");
  test::ProgramResult r =
      RunProgram({TRILO_TERM_SETUP, "--undo", "--unattended", "--game-exe", moved + "game/f1_9902.exe"}, "", utf8);
  EXPECT_EQ(r.err, "trilo-setup: No install is recorded in " + moved + "game/\n");
}

// Tab completes a path as a path: a blank in a folder's name goes in as it
// is, "~/" is the home folder, and names that share what is typed are listed.
TEST_F(TermSetupTest, InteractiveTabCompletesPathsWithBlanksAndHome) {
  const std::string wine = base + "Games/F1 9902/";
  fs::create_directories(base + "Games");
  fs::rename(base + "game", wine);
  std::vector<std::string> environment = env;
  environment.push_back("HOME=" + base + "Games");
  PtySession s(Args({}), "", environment);
  ASSERT_TRUE(s.Expect("Path (Ctrl-D cancels): ")) << s.Transcript();
  s.Send(base + "Games/F\t");
  s.Send("f1\t");
  s.Send("\r");
  ASSERT_TRUE(s.Expect("Version [Full]: ")) << s.Transcript();
  s.Send("2\r");
  // Proposed from the folder of the game answered; a typed path replaces it.
  ASSERT_TRUE(s.Expect("Path [" + wine + "CONFIG.INI]: ")) << s.Transcript();
  s.Send("~/\t");
  s.Send("C\t");
  ASSERT_TRUE(s.Expect("\r\nCONFIG.INI  Cars/  \r\n")) << s.Transcript();
  s.Send("ON\t");
  s.Send("\r");
  ASSERT_TRUE(s.Expect(TXT_LOCATE_PLAYER)) << s.Transcript();
  s.Send("1\r");
  ASSERT_TRUE(s.Expect("Game executable: " + wine + "f1_9902.exe\r\n")) << s.Transcript();
  ASSERT_TRUE(s.Expect("Game config:     " + wine + "CONFIG.INI\r\n")) << s.Transcript();
  s.Send("\r");
  ASSERT_TRUE(s.Expect(TXT_INSTALL_COMPLETE)) << s.Transcript();
  EXPECT_EQ(s.Wait(), 0) << s.Transcript();
  EXPECT_TRUE(Exists(wine + "ClassicMod/Cars/Classic1/classic1.veh"));
}

// Ctrl-C at a question is Cancel, whichever question it is: nothing changes.
TEST_F(TermSetupTest, CtrlCAtAQuestionCancels) {
  // The questions in their order, each proposal taken with Enter.
  const char* questions[] = {"Path [", "Version [", "Path [", "Path [", "Install or Cancel? [I/c]: "};
  for (size_t stop = 0; stop < std::size(questions); stop += 2) {
    PtySession s(Args(FullFlags()), "", env);
    for (size_t i = 0; i <= stop; ++i) {
      ASSERT_TRUE(s.Expect(questions[i])) << stop << "\n" << s.Transcript();
      s.Send(i == stop ? "\x03" : "\r");
    }
    ASSERT_TRUE(s.Expect(TXT_INSTALL_CANCELLED)) << questions[stop] << "\n" << s.Transcript();
    EXPECT_EQ(s.Wait(), 2) << questions[stop] << "\n" << s.Transcript();
    EXPECT_FALSE(Exists(game + "ClassicMod.ini")) << questions[stop];
    EXPECT_FALSE(Exists(game + "trilo-records")) << questions[stop];
  }
}

// SIGINT during the copies: the copy under way is taken back, the install
// stops there, and its record says it was cut short; the undo it points to
// then gives back the game as it was.
TEST_F(TermSetupTest, CtrlCDuringTheCopiesCutsTheInstallShort) {
  const int count = 300;
  std::string files;
  fs::create_directories(pkg + "content/big");
  fs::create_directories(game + "Big");
  for (int i = 0; i < count; ++i) {
    const std::string name = "b" + std::to_string(i) + ".dat";
    std::ofstream(pkg + "content/big/" + name) << std::string(512 * 1024, static_cast<char>('a' + i % 26));
    // Every other one replaces a file of the game.
    if (i % 2 == 0) std::ofstream(game + "Big/" + name) << "original " << i;
    files += "${TOPDIR}Big\\" + name + " = content\\big\\" + name + "\r\n";
  }
  std::ofstream(pkg + "Full.files.txt", std::ios::app) << files;
  const test::Tree before = test::ReadTree(test::CorePath(game));

  auto flags = FullFlags();
  flags.insert(flags.begin(), {"--unattended", "--package-version", "Full"});
  PtySession s(Args(flags), "", env);
  ASSERT_TRUE(s.Expect("Installing...")) << s.Transcript();
  // Once the big files are being copied.
  for (int waited = 0; !Exists(game + "Big/b1.dat") && waited < 10000; ++waited) usleep(1000);
  s.Send("\x03");
  ASSERT_TRUE(s.Expect("Install cut short. trilo-setup --undo takes back what it did.")) << s.Transcript();
  EXPECT_EQ(s.Wait(), 5) << s.Transcript();

  int copied = 0;
  for (int i = 0; i < count; ++i) {
    const std::string name = "Big/b" + std::to_string(i) + ".dat";
    if (!Exists(game + name)) {
      EXPECT_NE(i % 2, 0) << name << " was not put back";
      continue;
    }
    const std::string content = Read(game + name);
    if (content == Read(pkg + "content/big/b" + std::to_string(i) + ".dat")) ++copied;
    else EXPECT_TRUE(i % 2 == 0 && content == "original " + std::to_string(i)) << name << " is half-written";
  }
  EXPECT_GT(copied, 0);
  EXPECT_LT(copied, count) << "the install ended before the stop";
  test::ProgramResult list = RunProgram(Args({"--list-installs", "--game-exe", game + "f1_9902.exe"}), "", env);
  EXPECT_NE(list.out.find("  cut short  "), std::string::npos) << list.out;

  test::ProgramResult undo =
      RunProgram(Args({"--undo", "last", "--unattended", "--game-exe", game + "f1_9902.exe"}), "", env);
  EXPECT_EQ(undo.exitCode, 0) << undo.out << undo.err;
  EXPECT_TRUE(test::ReadTree(test::CorePath(game)) == before) << "the undo did not give back the game as it was";
}

// Each answer is checked as it is given, and the one that is wrong is said.
TEST_F(TermSetupTest, AnswersAreCheckedAsTheyAreGiven) {
  fs::create_directories(game + "AFolder");
  PtySession s(Args({}), "", env);
  const struct {
    std::string asked, answer, told;
  } steps[] = {
      {"Path (Ctrl-D cancels): ", game + "gone.exe", game + "gone.exe: there is no such file.\r\n"},
      {"Path (Ctrl-D cancels): ", game + "AFolder", game + "AFolder: this is a folder, not a file.\r\n"},
      {"Path (Ctrl-D cancels): ", game + "f1_9902.exe", "Version [Full]: "},
      {"", "Ful", "Ful: the package has no such version. Its versions are:\r\n  1) Full\r\n  2) Lite\r\n"},
      {"Version [Full]: ", "lite", "Path [" + game + "CONFIG.INI]: "},
      // Not the game's configuration: taken, with a warning.
      {"", game + "Season/game.gdb",
       "Warning: " + game + "Season/game.gdb has no [COMPONENTS] section; it may not be the game's configuration "
                            "file.\r\n"},
  };
  for (const auto& step : steps) {
    if (!step.asked.empty()) {
      ASSERT_TRUE(s.Expect(step.asked)) << s.Transcript();
    }
    s.Send(step.answer + "\r");
    ASSERT_TRUE(s.Expect(step.told)) << s.Transcript();
  }
  ASSERT_TRUE(s.Expect(TXT_LOCATE_PLAYER)) << s.Transcript();
  s.Send("\x04");
  ASSERT_TRUE(s.Expect("Version:         Lite")) << s.Transcript();
  s.Send("c\r");
  EXPECT_EQ(s.Wait(), 2) << s.Transcript();
}

// Unattended: a version the package does not list stops everything with the
// list; with --game-exe alone the configuration beside it is taken.
TEST_F(TermSetupTest, UnattendedVersionAndConfigurationFromTheGame) {
  test::ProgramResult r =
      RunProgram(Args({"--unattended", "--package-version", "Bogus", "--game-exe", game + "f1_9902.exe"}), "", env);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, "trilo-setup: the package has no version Bogus. Its versions are:\n  1) Full\n  2) Lite\n");
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(Exists(game + "ClassicMod.ini"));
  EXPECT_FALSE(Exists(game + "trilo-records"));

  r = RunProgram(Args({"--unattended", "--package-version", "lite", "--game-exe", game + "f1_9902.exe"}), "", env);
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  const std::string config = Read(game + "ClassicMod.ini");
  EXPECT_NE(config.find("\r\nSAVEDIR=ClassicMod\\Save\\\r\n"), std::string::npos) << config;
  EXPECT_FALSE(Exists(game + "ClassicMod/Cars/Classic2")) << "the version Lite was installed";
}

}  // namespace
}  // namespace trilo
