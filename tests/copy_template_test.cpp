#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "step_fixture.h"
#include "text/text_util.h"

namespace trilo {
namespace test {
namespace {

class CopyTemplateTest : public StepTest {
 protected:
  CopyTemplateTest() { MakeFolder(pkg + "data"); }

  std::string Log() { return ReadFile(pkg + "log.txt"); }

  RecordingProgress progress;
};

TEST_F(CopyTemplateTest, CopiesEachEntryAndDrivesTheProgressInOrder) {
  WriteFile(pkg + "data\\x.dat", "x-content");
  WriteFile(pkg + "data\\a=b", "with equals");
  WriteFile(game + "old.dat", "to be replaced");
  WriteFile(pkg + "files.txt",
            "# the package's files\r\n"
            "\r\n"
            "  ${TOPDIR}x.dat \t=  data\\x.dat\t \r\n"
            "\t# a comment after blanks\n"
            "${TOPDIR}eq.dat=data\\a=b\n"             // the source keeps its "="
            "${TOPDIR}old.dat=data\\x.dat");          // no line end
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(app.PartlyInstalled);
  EXPECT_EQ(ReadFile(game + "x.dat"), "x-content");
  EXPECT_EQ(ReadFile(game + "eq.dat"), "with equals");
  EXPECT_EQ(ReadFile(game + "old.dat"), "x-content");
  EXPECT_FALSE(FileExists(pkg + "log.txt"));
  const std::vector<std::string> expected = {
      "range:3",
      "source:data\\x.dat", "dest:" + game + "x.dat", "step", "pump",
      "source:data\\a=b", "dest:" + game + "eq.dat", "step", "pump",
      "source:data\\x.dat", "dest:" + game + "old.dat", "step", "pump",
      "clear"};
  EXPECT_EQ(progress.calls, expected);
  EXPECT_EQ(progress.position, 3);
}

TEST_F(CopyTemplateTest, CopyKeepsTheModificationTime) {
  WriteFile(pkg + "data\\x.dat", "x");
  namespace fs = std::filesystem;
  const std::string native = SystemPath(pkg + "data\\x.dat");
  const auto past = fs::last_write_time(native) - std::chrono::hours(24 * 400);
  fs::last_write_time(native, past);
  WriteFile(pkg + "files.txt", "${TOPDIR}x.dat=data\\x.dat\n");
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  const std::string copied = SystemPath(game + "x.dat");
  EXPECT_EQ(fs::last_write_time(copied), past);
}

TEST_F(CopyTemplateTest, BlankAndCommentLinesOnly) {
  WriteFile(pkg + "files.txt", "\r\n   \n\t# nothing\r\n#x=y");
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(progress.calls, (std::vector<std::string>{"range:0", "clear"}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CopyTemplateTest, MalformedLineStopsWhereItStands) {
  for (const char* name : {"a", "b", "c", "d"}) WriteFile(pkg + "data\\" + name, name);
  WriteFile(pkg + "files.txt",
            "${TOPDIR}a=data\\a\n${TOPDIR}b=data\\b\n# note\n${TOPDIR}c=data\\c\n"
            "just some words\n${TOPDIR}d=data\\d\n");
  EXPECT_FALSE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Malformed file copy string"});
  EXPECT_EQ(Names(game), (std::vector<std::string>{"a", "b", "c"}));
  // The malformed line was counted, so the bar is not full; the texts show
  // the last entry processed and are not cleared.
  EXPECT_EQ(progress.range, 5);
  EXPECT_EQ(progress.position, 3);
  EXPECT_EQ(progress.source, "data\\c");
  EXPECT_EQ(progress.destination, game + "c");
  EXPECT_EQ(progress.calls.back(), "pump");
}

TEST_F(CopyTemplateTest, MalformedFirstLineLeavesTheRangeSetOnly) {
  WriteFile(pkg + "files.txt", "no equals sign\r\n${TOPDIR}a=data\\a\r\n");
  EXPECT_FALSE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(progress.calls, std::vector<std::string>{"range:2"});
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Malformed file copy string"});
}

TEST_F(CopyTemplateTest, FailedCopiesAreLoggedAcrossRunsWithTheirErrorNumbers) {
  WriteFile(pkg + "files.txt",
            "${TOPDIR}x.dat=data\\missing.dat\n"         // no such file: 2, 2
            "${TOPDIR}NoFolder\\x.dat=files.txt\n"       // no such folder: 2, 3
            "${TOPDIR}y.dat=${NOSUCH}\\y.dat\n"          // never tried: 0, 0
            "${TOPDIR=files.txt\n"                       // "${" left: 0, 0
            "=files.txt\n"                               // empty destination: 2, 3
            "${TOPDIR}z.dat=\n");                        // empty source: 2, 3
  const std::string runLog =
      "Couldn't copy: data\\missing.dat => " + game + "x.dat, errno=2, last error=2\r\n"
      "Couldn't copy: files.txt => " + game + "NoFolder\\x.dat, errno=2, last error=3\r\n"
      "Couldn't copy: ${NOSUCH}\\y.dat => " + game + "y.dat, errno=0, last error=0\r\n"
      "Couldn't copy: files.txt => ${TOPDIR, errno=0, last error=0\r\n"
      "Couldn't copy: files.txt => , errno=2, last error=3\r\n"
      "Couldn't copy:  => " + game + "z.dat, errno=2, last error=3\r\n";
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(Log(), runLog);
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(Log(), runLog + runLog);
  // The first five are named, the destination's path where the copy failed there.
  const std::string told = "6 of 6 files could not be copied:\n  " +
                           test::MissingSourceNamed("data\\missing.dat", game + "x.dat") + ": <reason>\n  " + game +
                           "NoFolder\\x.dat: <reason>\n  ${NOSUCH}\\y.dat: <reason>\n  ${TOPDIR: <reason>\n"
                           "  files.txt: <reason>\nand 1 more in log.txt.";
  ASSERT_EQ(ui.messages.size(), 2u);
  for (const std::string& message : ui.messages) EXPECT_EQ(test::WithoutReasons(message), told);
  EXPECT_TRUE(app.PartlyInstalled);
  EXPECT_EQ(progress.range, 6);
  EXPECT_EQ(progress.position, 6);
  EXPECT_EQ(Names(game), std::vector<std::string>{});
}

// The failures are counted among all entries, comments and blank lines not
// included; the message comes once, after the last entry.
TEST_F(CopyTemplateTest, FailedCopiesAreToldAfterTheStep) {
  WriteFile(pkg + "data\\x.dat", "x");
  struct Case {
    const char* files;
    std::string message;
  } cases[] = {
      {"${TOPDIR}a=data\\x.dat\n${TOPDIR}b=data\\x.dat\n", ""},
      {"# one of three\n${TOPDIR}a=data\\x.dat\n\n${TOPDIR}b=data\\none\n${TOPDIR}c=data\\x.dat\n",
       "1 of 3 files could not be copied:\n  " + test::MissingSourceNamed("data\\none", game + "b") +
           ": <reason>\nThey are listed in log.txt."},
      {"${TOPDIR}a=data\\none\n${TOPDIR}b=${NOSUCH}\n${TOPDIR}c=data\\x.dat\n",
       "2 of 3 files could not be copied:\n  " + test::MissingSourceNamed("data\\none", game + "a") +
           ": <reason>\n  ${NOSUCH}: <reason>\n"
       "They are listed in log.txt."},
  };
  for (const Case& c : cases) {
    ui.messages.clear();
    ui.log.clear();
    progress.calls.clear();
    app.PartlyInstalled = false;
    WriteFile(pkg + "files.txt", c.files);
    ASSERT_TRUE(app.CopyTemplateFiles(progress)) << c.files;
    std::vector<std::string> told;
    for (const std::string& message : ui.messages) told.push_back(test::WithoutReasons(message));
    EXPECT_EQ(told, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message}) << c.files;
    EXPECT_EQ(app.PartlyInstalled, !c.message.empty()) << c.files;
    EXPECT_EQ(progress.calls.back(), "clear");
  }
}

TEST_F(CopyTemplateTest, SourceNamedAsItsOwnDestinationKeepsItsContent) {
  WriteFile(pkg + "data\\x.dat", "precious");
  WriteFile(pkg + "files.txt", "data\\x.dat=data\\x.dat\n");
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(ReadFile(pkg + "data\\x.dat"), "precious");
  const std::string log = Log();
  EXPECT_EQ(log.find("Couldn't copy: data\\x.dat => data\\x.dat, errno="), 0u) << log;
  EXPECT_NE(log.find(", last error=32\r\n"), std::string::npos) << log;
}

TEST_F(CopyTemplateTest, FoldersOnEitherSideAreLoggedAsAccessDenied) {
  MakeFolder(game + "Folder");
  WriteFile(pkg + "data\\x.dat", "x");
  WriteFile(pkg + "files.txt", "${TOPDIR}Folder=data\\x.dat\n${TOPDIR}y.dat=data\n");
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  const std::string log = Log();
  EXPECT_NE(log.find(game + "Folder, errno="), std::string::npos) << log;
  EXPECT_NE(log.find(game + "y.dat, errno="), std::string::npos) << log;
  size_t first = log.find(", last error=5\r\n");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_NE(log.find(", last error=5\r\n", first + 1), std::string::npos) << log;
}

TEST_F(CopyTemplateTest, UnwritableLogIsToldOnceAndDoesNotStopTheStep) {
  MakeFolder(pkg + "log.txt");  // a folder: the log cannot be opened
  WriteFile(pkg + "data\\x.dat", "x");
  WriteFile(pkg + "files.txt", "${TOPDIR}a=data\\none\n${TOPDIR}b=data\\none\n${TOPDIR}x.dat=data\\x.dat\n");
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  // The log is not there to point at: the names are told all the same.
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(test::WithoutReasons(ui.messages[0]),
            "2 of 3 files could not be copied:\n  " + test::MissingSourceNamed("data\\none", game + "a") +
                ": <reason>\n  " + test::MissingSourceNamed("data\\none", game + "b") +
                ": <reason>\nlog.txt could not be written.");
  EXPECT_TRUE(app.PartlyInstalled);
  EXPECT_EQ(ReadFile(game + "x.dat"), "x");
  EXPECT_EQ(progress.position, 3);
  EXPECT_EQ(progress.calls.back(), "clear");
}

TEST_F(CopyTemplateTest, SelectedVersionUsesItsOwnTemplateOnly) {
  WriteFile(pkg + "data\\x.dat", "x");
  WriteFile(pkg + "files.txt", "${TOPDIR}plain=data\\x.dat\n");
  WriteFile(pkg + "B.files.txt", "${TOPDIR}b=data\\x.dat\n");
  app.State.SelectedVersion = "B";
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(Names(game), std::vector<std::string>{"b"});

  app.State.SelectedVersion = "C";
  progress.calls.clear();
  EXPECT_FALSE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening file template"});
  EXPECT_TRUE(progress.calls.empty());
}

TEST_F(CopyTemplateTest, VersionTooLongForTheTemplateNameIsRefused) {
  app.State.SelectedVersion = std::string(246, 'v');  // 246 + ".files.txt" = 256
  EXPECT_FALSE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening file template"});
  EXPECT_TRUE(progress.calls.empty());
}

}  // namespace
}  // namespace test
}  // namespace trilo
