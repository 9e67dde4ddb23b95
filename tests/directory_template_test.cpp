#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/filesystem.h"
#include "step_fixture.h"

namespace trilo {
namespace test {
namespace {

class DirectoryTemplateTest : public StepTest {
 protected:
  DirectoryTemplateTest() {
    app.State.PLAYERNAME = "Driver1";
    app.Settings.SaveDir = "Pack\\Save\\";
  }
};

TEST_F(DirectoryTemplateTest, CreatesEachFolderInFileOrder) {
  WriteFile(pkg + "dirs.txt",
            "# folders of the package\r\n"
            "\r\n"
            " \t${TOPDIR}Pack \t\r\n"              // trimmed before expansion
            "${topdir}${NEWSAVEDIR}\n"             // LF only, trailing "\"
            "   # an indented comment\n"
            "${TOPDIR}${NEWSAVEDIR}${PLAYERDIR}\r\n"
            "Local#1\r\n"                          // relative: in the package folder
            "${TOPDIR}Pack\\Last");                // no line end
  ASSERT_TRUE(app.CreateTemplateDirectories());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(IsFolder(game + "Pack\\Save\\Driver1"));
  EXPECT_TRUE(IsFolder(game + "Pack\\Last"));
  EXPECT_TRUE(IsFolder(pkg + "Local#1"));
  EXPECT_EQ(Names(game), std::vector<std::string>{"Pack"});
  EXPECT_EQ(Names(pkg), (std::vector<std::string>{"Local#1", "dirs.txt"}));

  // A second install finds everything there and succeeds again.
  ASSERT_TRUE(app.CreateTemplateDirectories());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DirectoryTemplateTest, EmptyOrCommentOnlyTemplateCreatesNothing) {
  WriteFile(pkg + "dirs.txt", "");
  EXPECT_TRUE(app.CreateTemplateDirectories());
  WriteFile(pkg + "dirs.txt", "  \t\r\n#${TOPDIR}x\n\n   #y");
  EXPECT_TRUE(app.CreateTemplateDirectories());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Names(game), std::vector<std::string>{});
  EXPECT_EQ(Names(pkg), std::vector<std::string>{"dirs.txt"});
}

TEST_F(DirectoryTemplateTest, AFileOfThatNameCountsAsDone) {
  WriteFile(game + "Taken", "data");
  WriteFile(pkg + "dirs.txt", "${TOPDIR}Taken\n${TOPDIR}After\n");
  ASSERT_TRUE(app.CreateTemplateDirectories());
  EXPECT_EQ(ReadFile(game + "Taken"), "data");
  EXPECT_TRUE(IsFolder(game + "After"));
}

TEST_F(DirectoryTemplateTest, FolderBeforeItsParentStopsTheStep) {
  WriteFile(pkg + "dirs.txt", "${TOPDIR}First\n${TOPDIR}Pack\\Save\n${TOPDIR}Pack\n${TOPDIR}Later\n");
  EXPECT_FALSE(app.CreateTemplateDirectories());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error creating directory"});
  // What came before stays; nothing after the failing line is made.
  EXPECT_EQ(Names(game), std::vector<std::string>{"First"});
}

TEST_F(DirectoryTemplateTest, PlaceholderThatExpandsToNothingIsNoFolder) {
  app.State.PLAYERNAME.clear();
  WriteFile(pkg + "dirs.txt", "${PLAYERNAME}\n");
  EXPECT_FALSE(app.CreateTemplateDirectories());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error creating directory"});
}

TEST_F(DirectoryTemplateTest, SelectedVersionUsesItsOwnTemplateOnly) {
  WriteFile(pkg + "dirs.txt", "${TOPDIR}Plain\n");
  WriteFile(pkg + "Full.dirs.txt", "${TOPDIR}Full\n");
  app.State.SelectedVersion = "Full";
  ASSERT_TRUE(app.CreateTemplateDirectories());
  EXPECT_EQ(Names(game), std::vector<std::string>{"Full"});

  app.State.SelectedVersion = "Lite";  // no Lite.dirs.txt: no fallback
  EXPECT_FALSE(app.CreateTemplateDirectories());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening directory template"});
  EXPECT_EQ(Names(game), std::vector<std::string>{"Full"});
}

TEST_F(DirectoryTemplateTest, MissingTemplate) {
  EXPECT_FALSE(app.CreateTemplateDirectories());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening directory template"});
}

TEST_F(DirectoryTemplateTest, VersionTooLongForTheTemplateNameIsRefusedNotCut) {
  // 247 characters, a point and "dirs.txt" make 256: one too many. The name
  // cut to 255 characters must not be opened in its place.
  const std::string version(247, 'v');
  const std::string cut = (version + ".dirs.txt").substr(0, 255);
  std::FILE* f = nullptr;
  if (OpenFile(pkg + cut, "wb", f)) {
    std::fputs("${TOPDIR}Cut\n", f);
    std::fclose(f);
  }
  app.State.SelectedVersion = version;
  EXPECT_FALSE(app.CreateTemplateDirectories());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening directory template"});
  EXPECT_EQ(Names(game), std::vector<std::string>{});
}

}  // namespace
}  // namespace test
}  // namespace trilo
