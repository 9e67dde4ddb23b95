// A package whose names are 8-bit text in the players' code page, installed
// by the steps that make names on disk: folders, copies and the shortcut.
// The names must arrive as Windows (and Wine) writes them. The Windows build
// runs this under Wine once per code page (see tests/CMakeLists.txt); the
// POSIX build chooses each code page in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "code_page_names.h"
#include "platform/system_info.h"
#include "platform/user_path.h"
#include "shortcut_check.h"
#include "step_fixture.h"

namespace trilo {
namespace test {
namespace {

class CodePageInstallTest : public StepTest {
 protected:
  ~CodePageInstallTest() override {
#ifndef _WIN32
    UseCodePage(saved_);
#endif
  }

  // Whether the names of `codePage` can be tried here: on POSIX any code
  // page is chosen; on Windows only the system's own applies.
  static bool Use(unsigned codePage) {
#ifdef _WIN32
    return ActiveCodePage().Id() == codePage;
#else
    return UseCodePage(codePage);
#endif
  }

  RecordingProgress progress;

 private:
  unsigned saved_ = ActiveCodePage().Id();
};

TEST_F(CodePageInstallTest, NamesArriveAsWindowsWritesThem) {
  // The Windows runs say which code page Wine was to give them.
  const char* expected = std::getenv("TRILO_TEST_CODE_PAGE");
  if (expected) {
    ASSERT_EQ(ActiveCodePage().Id(), static_cast<unsigned>(std::atoi(expected)));
  }

  int tried = 0;
  for (const CodePageNames& n : CodePageNameTable()) {
    if (!Use(n.codePage)) continue;
    ++tried;
    SCOPED_TRACE("code page " + std::to_string(n.codePage));
    const std::string top = game + std::to_string(n.codePage) + "\\";
    MakeFolder(top);
    WriteFile(top + "f1_9902.exe", "MZ");
    MakeFolder(pkg + "content");
    WriteFile(pkg + "content\\" + n.file, n.fileUtf8);
    WriteFile(pkg + "dirs.txt", std::string("${TOPDIR}") + n.folder + "\r\n");
    WriteFile(pkg + "files.txt", std::string("${TOPDIR}") + n.folder + "\\" + n.file + " = content\\" + n.file + "\r\n");
    app.State.TOPDIR = top;
    app.State.GameExePath = top + "f1_9902.exe";
    app.Settings.ConfigName = "mod.ini";
    app.Settings.Desc = n.desc;
    app.Settings.IconFile = std::string(n.folder) + "\\mod.ico";

    ASSERT_TRUE(app.CreateTemplateDirectories());
    ASSERT_TRUE(app.CopyTemplateFiles(progress));
    ASSERT_TRUE(app.CreateShortcut());
    EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.messages);

    std::vector<std::string> names = {std::string(n.descUtf8) + ".lnk", "f1_9902.exe", n.folderUtf8};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(ListFolder(top), names);
    EXPECT_EQ(ListFolder(top + n.folder), std::vector<std::string>{n.fileUtf8});
    EXPECT_EQ(ReadFile(top + n.folder + "\\" + n.file), n.fileUtf8);
    ExpectShortcut(top + n.desc + ".lnk", {ShownPath(top + "f1_9902.exe"), n.descUtf8, ShownPath(top),
                                           " config=mod.ini", ShownPath(top + n.folder + "\\mod.ico")});
  }
  EXPECT_GT(tried, 0) << "no names for code page " << ActiveCodePage().Id();
}

}  // namespace
}  // namespace test
}  // namespace trilo
