#include <gtest/gtest.h>

#include <filesystem>

#include "platform/process.h"
#include "record_args.h"
#include "test_support.h"
#include "text/text_util.h"

namespace trilo {
namespace test {
namespace {

namespace fs = std::filesystem;

bool SameFolder(const std::string& recorded, const std::string& corePath) {
  std::string expected = corePath;
  if (expected.size() > 1 && expected.back() == '\\') expected.pop_back();
  expected = SystemPath(expected);
  std::error_code ec;
  return fs::equivalent(fs::path(recorded), fs::path(expected), ec);
}

TEST(RunCommand, ProgramThatCannotBeStartedGivesFalse) {
  TempDir dir;
  EXPECT_FALSE(RunCommand("\"" + dir / "no such program.exe" + "\" a b", dir.Path()));
  EXPECT_FALSE(RunCommand(dir / "missing\\tool.exe", dir.Path()));
  EXPECT_FALSE(RunCommand("trilo-no-such-program-anywhere", dir.Path()));
  EXPECT_FALSE(RunCommand("", dir.Path()));
  // The program exists, but the folder to start it in does not or is not
  // given, or the line starts with a blank (an empty program name).
  const std::string out = dir / "out.txt";
  EXPECT_FALSE(RunCommand(HelperProgram("record_args") + " " + ArgPath(out) + " 0", dir / "no such folder\\"));
  EXPECT_FALSE(RunCommand(HelperProgram("record_args") + " " + ArgPath(out) + " 0", ""));
  EXPECT_FALSE(RunCommand(" " + HelperProgram("record_args") + " " + ArgPath(out) + " 0", dir.Path()));
  EXPECT_FALSE(FileExists(out));
}

TEST(RunCommand, ExitCodeIsNotExaminedAndFolderIsTheGivenOne) {
  TempDir dir;
  const std::string work = dir / "game folder\\";
  MakeFolder(work);
  const std::string out = dir / "record.txt";
  EXPECT_TRUE(RunCommand(HelperProgram("record_args") + " \"" + ArgPath(out) + "\" 3", work));
  Record r = ReadRecord(out);
  ASSERT_TRUE(r.found) << "the command did not run";
  EXPECT_TRUE(SameFolder(r.folder, work)) << r.folder;
  EXPECT_TRUE(r.args.empty());
}

TEST(RunCommand, ArgumentsArriveAsTheCommandLineSplitsThem) {
  TempDir dir;
  const std::string out = dir / "record.txt";
  // Blanks, quotes and backslashes by the Windows rules: 2n backslashes and
  // a quote give n backslashes, 2n+1 give n and a literal quote.
  const std::string line = HelperProgram("record_args") + " \"" + ArgPath(out) + "\" 0" +
                           " plain \"two  words\" say\\\"hi\\\" C:\\dir\\ \"end\\\\\" \"\" a\\\\\\\"b mid\"dle part\"s";
  EXPECT_TRUE(RunCommand(line, dir.Path()));
  Record r = ReadRecord(out);
  ASSERT_TRUE(r.found);
  const std::vector<std::string> expected = {"plain",  "two  words", "say\"hi\"",         "C:\\dir\\",
                                             "end\\", "",           "a\\\"b", "middle parts"};
  EXPECT_EQ(r.args, expected);
}

TEST(RunCommand, QuotedProgramPathWithBlanksAndBareNameInCurrentFolder) {
  TempDir dir;
  const std::string tools = dir / "my tools\\";
  MakeFolder(tools);
  std::string helper = HelperProgram("record_args");
  std::string copy = tools + "record args";
#ifdef _WIN32
  helper += ".exe";
  copy += ".exe";
#endif
  fs::copy_file(SystemPath(helper), SystemPath(copy));

  const std::string out = dir / "quoted.txt";
  EXPECT_TRUE(RunCommand("\"" + tools + "record args\" \"" + ArgPath(out) + "\" 0 x", dir.Path()));
  EXPECT_EQ(ReadRecord(out).args, std::vector<std::string>{"x"});

  // A bare name is found in the installer's current folder, not in the
  // folder the command is started in.
  ScopedCurrentFolder inTools(tools);
  const std::string out2 = dir / "bare.txt";
  MakeFolder(dir / "elsewhere");
  EXPECT_TRUE(RunCommand("\"record args\" \"" + ArgPath(out2) + "\" 0 y", dir / "elsewhere\\"));
  Record r = ReadRecord(out2);
  EXPECT_EQ(r.args, std::vector<std::string>{"y"});
  EXPECT_TRUE(SameFolder(r.folder, dir / "elsewhere")) << r.folder;
}

}  // namespace
}  // namespace test
}  // namespace trilo
