// trilo-check as a program: a dry run of the sample that leaves every byte
// and every time of the package and the game as they were, and its usage.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/posix/path_map.h"
#include "posix/program_runner.h"
#include "record_args.h"
#include "test_support.h"
#include "text/code_page.h"
#include "text/text_util.h"
#include "trilo_version.h"

namespace trilo {
namespace {

namespace fs = std::filesystem;
using test::RunProgram;

// Every file and folder under a root: content and modification time.
using Tree = std::map<std::string, std::pair<std::string, fs::file_time_type>>;

Tree Snapshot(const fs::path& root) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string content =
        entry.is_directory() ? std::string("<folder>") : test::ReadFile(FromNativePath(entry.path().string()));
    tree[fs::relative(entry.path(), root).string()] = {content, entry.last_write_time()};
  }
  return tree;
}

std::vector<std::string> Changed(const Tree& before, const Tree& after) {
  std::vector<std::string> names;
  for (const auto& [name, item] : after) {
    auto old = before.find(name);
    if (old == before.end() || old->second != item) names.push_back(name);
  }
  for (const auto& [name, item] : before)
    if (!after.count(name)) names.push_back(name + " (gone)");
  return names;
}

TEST(CheckProgramTest, DryRunOfTheSampleWritesNothingAndRunsNothing) {
  test::TempDir dir;
  const std::string base = ToNativePath(dir.Path());
  fs::copy(std::string(TRILO_SOURCE_DIR) + "/examples/sample-game", base + "game", fs::copy_options::recursive);
  fs::copy(std::string(TRILO_SOURCE_DIR) + "/examples/sample-package", base + "pkg", fs::copy_options::recursive);
  const std::string game = base + "game/";
  const std::string pkg = base + "pkg/";
  // Commands that would leave a file behind if they ran.
  const std::string recorder = test::HelperProgram("record_args");
  std::string conf = test::ReadFile(FromNativePath(pkg + "conf.ini"));
  conf.replace(conf.find("NewConfig=1"), 0,
               "PreInstall=" + recorder + " ${TOPDIR}pre.txt 0\nPostInstall=" + recorder + " ${TOPDIR}post.txt 0\n");
  test::WriteFile(FromNativePath(pkg + "conf.ini"), conf);
  fs::create_directories(base + "prefix");
  const Tree before = Snapshot(base);

  test::ProgramResult r = RunProgram({TRILO_CHECK, "--game-exe", game + "f1_9902.exe", "--player",
                                      game + "Save/Driver1/Driver1.PLR", "--dry-run", pkg},
                                     "", {"WINEPREFIX=" + base + "prefix"});
  EXPECT_EQ(Changed(before, Snapshot(base)), std::vector<std::string>{});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "");

  const std::string findings =
      "Full.gdb.txt:9: warning: the circuit `Sepang` is in the game's database already: the merge skips it\n"
      "Lite.gdb.txt: warning: the merge adds no circuit, yet the game's `Season\\game.gdb` is rewritten all the same\n"
      "Lite.gdb.txt:3: warning: the circuit `Sepang` is in the game's database already: the merge skips it\n"
      "Season\\game.gdb:1: warning: 1 comment line is not kept\n"
      "text read in code page 1252\n"
      "0 errors, 4 warnings\n";
  ASSERT_GE(r.out.size(), findings.size());
  EXPECT_EQ(r.out.substr(r.out.size() - findings.size()), findings) << r.out;
  for (const std::string& line :
       {"Plan of version Full into " + game + " (nothing is written):\n",
        "  PreInstall runs " + ToSlashes(recorder, CodePage()) + ": " + recorder + " " + ToBackslashes(game, CodePage()) + "pre.txt 0\n",
        "  new configuration  " + game + "ClassicMod.ini  from  " + game + "CONFIG.INI\n",
        std::string("    SEASONDIR=Season\\\n"),
        "  folder  new        " + game + "ClassicMod/Cars/Classic2\n",
        "  player file        " + game + "ClassicMod/Save/Driver1/Driver1.PLR  from  " + game +
            "Save/Driver1/Driver1.PLR\n",
        "  copy    new        " + game + "Season/season.mod  <-  content/season/season.mod  (31 bytes)\n",
        std::string("  copies: 5 files, 1323 bytes\n"),
        std::string("    circuit added    Monza 1967\n"
                    "    circuit skipped  Sepang (the game has it)\n"
                    "    dropped: 1 comment line is not kept\n"),
        "  shortcut           " + game + "Classic Mod.lnk  starts " + game +
            "f1_9902.exe with \" config=ClassicMod.ini\"\n",
        "Plan of version Lite into " + game + " (nothing is written):\n",
        std::string("  copies: 3 files, 1220 bytes\n")})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\nin:\n" << r.out;
}

// The findings on a conf.ini saved as UTF-8 with a mark; check_wine_bom.sh
// expects the same of the Windows build.
TEST(CheckProgramTest, ByteOrderMarkAndCodePage) {
  const std::string pkg = std::string(TRILO_SOURCE_DIR) + "/tests/bom-package";
  const std::string expected = test::ReadFile(pkg + ".expected");
  ASSERT_FALSE(expected.empty());
  test::ProgramResult r = RunProgram({TRILO_CHECK, pkg});
  EXPECT_EQ(r.exitCode, 1);
  const size_t findings = r.out.find("conf.ini:1:");
  ASSERT_NE(findings, std::string::npos) << r.out;
  EXPECT_EQ(r.out.substr(findings), expected);

  // In code page 1251 the same bytes show as Cyrillic letters.
  r = RunProgram({TRILO_CHECK, "--code-page", "1251", pkg});
  EXPECT_NE(r.out.find("code page 1251 shows it as `Title=F1 Saison 1967 N\xD0\x93\xD1\x98rburgring`"),
            std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\ntext read in code page 1251\n1 errors, 3 warnings\n"), std::string::npos) << r.out;
  for (const char* bad : {"0", "x", "-1252", "70000"})
    EXPECT_EQ(RunProgram({TRILO_CHECK, "--code-page", bad, pkg}).exitCode, 64) << bad;
  EXPECT_EQ(RunProgram({TRILO_CHECK, "--code-page", "12345", pkg}).exitCode, 64);  // no such code page
}

TEST(CheckProgramTest, WithoutAGameAndUsage) {
  test::TempDir dir;
  const std::string prefix = ToNativePath(dir.Path());  // no registry: no game
  const std::string sample = std::string(TRILO_SOURCE_DIR) + "/examples/sample-package";
  test::ProgramResult r = RunProgram({TRILO_CHECK, "--package-version", "Lite"}, sample, {"WINEPREFIX=" + prefix});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "note: the package folder has no trilo-setup.exe: players would have nothing to start; put it in before "
            "you ship the package\n"
            "note: no game given (--game-exe) or found in the registry: the checks against the game were skipped\n"
            "text read in code page 1252\n"
            "0 errors, 0 warnings\n");

  EXPECT_EQ(RunProgram({TRILO_CHECK, "--bogus"}).exitCode, 64);
  EXPECT_EQ(RunProgram({TRILO_CHECK, "--game-exe"}).exitCode, 64);
  EXPECT_EQ(RunProgram({TRILO_CHECK, sample, sample}).exitCode, 64);
  EXPECT_EQ(RunProgram({TRILO_CHECK, prefix + "no-such-folder"}).exitCode, 64);
  test::ProgramResult missing = RunProgram({TRILO_CHECK, "--game-exe", prefix + "none.exe", sample});
  EXPECT_EQ(missing.exitCode, 64);
  EXPECT_EQ(missing.err.rfind("trilo-check: --game-exe: no such file: " + prefix + "none.exe\n", 0), 0u) << missing.err;
  test::ProgramResult help = RunProgram({TRILO_CHECK, "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--dry-run"), std::string::npos);
  EXPECT_EQ(RunProgram({TRILO_CHECK, "--version"}).out, "trilo-check " TRILO_VERSION "\n");
}

}  // namespace
}  // namespace trilo
