#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/process.h"
#include "platform/system_info.h"
#include "platform/user_path.h"
#include "posix/scoped_env.h"
#include "record_args.h"
#include "test_support.h"
#include "text/text_util.h"

namespace trilo {
namespace test {
namespace {

namespace fs = std::filesystem;

std::string Native(const std::string& core) { return SystemPath(core); }

TEST(RunCommandPosix, ProgramSearchLikeWindows) {
  TempDir dir;
  const std::string helper = Native(HelperProgram("record_args"));
  fs::copy_file(helper, Native(dir / "Tool.exe"));
  const std::string out = dir / "out.txt";

  // ".exe" is added to a name without extension, and the case of names
  // written on Windows does not matter.
  EXPECT_TRUE(RunCommand(dir / "TOOL " + ArgPath(out) + " 0 a", dir.Path()));
  EXPECT_EQ(ReadRecord(out).args, std::vector<std::string>{"a"});

  // A bare name is looked for along PATH too.
  ScopedEnv path("PATH", Native(dir.Path()) + ":/usr/bin:/bin");
  EXPECT_TRUE(RunCommand("tool.exe " + ArgPath(out) + " 0 b", "\\"));
  EXPECT_EQ(ReadRecord(out).args, std::vector<std::string>{"b"});
}

// Arguments reach a program in UTF-8, split as Windows splits the line: the
// trail byte 0x5C of "ソ" before a closing quote escapes nothing.
TEST(RunCommandPosix, ArgumentsInTheCodePageArriveAsUtf8) {
  TempDir dir;
  const unsigned saved = ActiveCodePage().Id();
  ASSERT_TRUE(UseCodePage(932));
  const std::string out = dir / "out.txt";
  EXPECT_TRUE(RunCommand("\"" + HelperProgram("record_args") + "\" " + ArgPath(out) + " 0 \"\x83\x5C\" x\x95\x5C",
                         dir.Path()));
  EXPECT_EQ(ReadRecord(out).args, (std::vector<std::string>{"\xE3\x82\xBD", "x\xE8\xA1\xA8"}));
  // A line that is no text in the code page is no command.
  EXPECT_FALSE(RunCommand("\"" + HelperProgram("record_args") + "\" " + ArgPath(out) + " 0 \x83", dir.Path()));
  EXPECT_EQ(TakeRefusals().size(), 1u);
  UseCodePage(saved);
}

TEST(RunCommandPosix, FileThatIsNoProgramIsNotStarted) {
  TempDir dir;
  WriteFile(dir / "readme.txt", "just text\n");
  chmod(Native(dir / "readme.txt").c_str(), 0644);
  EXPECT_FALSE(RunCommand(dir / "readme.txt", dir.Path()));
  // Executable, but no format the system can start (and no shell is used).
  WriteFile(dir / "script", "echo hi > started.txt\n");
  chmod(Native(dir / "script").c_str(), 0755);
  EXPECT_FALSE(RunCommand(dir / "script", dir.Path()));
  EXPECT_FALSE(FileExists(dir / "started.txt"));
  // A folder is not a program either.
  MakeFolder(dir / "folder.exe");
  EXPECT_FALSE(RunCommand(dir / "folder", dir.Path()));
}

// A Windows program is run under Wine, in the project's own prefix.
TEST(RunCommandPosix, WindowsProgramRunsUnderWine) {
  const std::string wineRoot = std::string(TRILO_SOURCE_DIR) + "/build/wine";
  if (system("command -v wine >/dev/null 2>&1") != 0) GTEST_SKIP() << "wine is not installed";
  if (!fs::exists(wineRoot + "/.ready")) GTEST_SKIP() << "no Wine prefix yet (make wine-prefix)";
  ScopedEnv prefix("WINEPREFIX", wineRoot + "/prefix");
  ScopedEnv home("HOME", wineRoot + "/home");
  ScopedEnv debug("WINEDEBUG", "-all");
  ScopedEnv overrides("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d");

  // The prefix's command interpreter, copied without its execute bit: the
  // "MZ" at its start is what makes it a Windows program.
  TempDir dir;
  const std::string program = dir / "win cmd.exe";
  fs::copy_file(wineRoot + "/prefix/drive_c/windows/system32/cmd.exe", Native(program));
  chmod(Native(program).c_str(), 0644);
  MakeFolder(dir / "work");

  EXPECT_TRUE(RunCommand("\"" + dir / "win cmd" + "\" /c cd > where.txt", dir / "work\\"));
  std::string where = ReadFile(dir / "work\\where.txt");
  EXPECT_EQ(where, "Z:" + dir.Path() + "work\r\n");
}

}  // namespace
}  // namespace test
}  // namespace trilo
