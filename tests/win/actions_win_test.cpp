// What only Windows can show: files held open by others, sharing modes and
// the read-only attribute.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/exclusive_file.h"
#include "platform/file_ops.h"
#include "step_fixture.h"

namespace trilo {
namespace test {
namespace {

// Holds a file open as another program would, for the life of the object.
class OpenElsewhere {
 public:
  OpenElsewhere(const std::string& path, DWORD access, DWORD share)
      : handle_(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << path;
  }
  ~OpenElsewhere() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

 private:
  HANDLE handle_;
};

class WinStepTest : public StepTest {
 protected:
  WinStepTest() {
    app.State.OldConfigPath = game + "CONFIG.INI";
    app.Settings.ConfigName = "PACK.INI";
    WriteFile(app.State.OldConfigPath, "SAVEDIR=Save\\\r\n");
    MakeFolder(game + "Save\\Driver1");
    MakeFolder(game + "Pack\\Driver1");
    app.State.TemplatePlayerPath = game + "Save\\Driver1\\Driver1.PLR";
    app.State.PLAYERNAME = "Driver1";
    app.Settings.SaveDir = "Pack\\";
    WriteFile(app.State.TemplatePlayerPath, "A=1\r\n");
  }
  ~WinStepTest() override {
    SetFileAttributesA((game + "PACK.INI").c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(NewPlayer().c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  std::string NewPlayer() const { return game + "Pack\\Driver1\\Driver1.PLR"; }

  RecordingProgress progress;
};

TEST_F(WinStepTest, ReadOnlyTargetsAreCreationErrors) {
  WriteFile(game + "PACK.INI", "kept\r\n");
  WriteFile(NewPlayer(), "kept\r\n");
  ASSERT_TRUE(SetFileAttributesA((game + "PACK.INI").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA(NewPlayer().c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(app.WriteNewGameConfig());
  EXPECT_FALSE(app.CreatePlayerProfile());
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"Error creating new config file", "Error creating new PLR file"}));
  EXPECT_EQ(ReadFile(game + "PACK.INI"), "kept\r\n");
  EXPECT_EQ(ReadFile(NewPlayer()), "kept\r\n");
}

TEST_F(WinStepTest, TargetsInUseAreCreationErrors) {
  WriteFile(game + "PACK.INI", "kept\r\n");
  WriteFile(NewPlayer(), "kept\r\n");
  {
    // Open for reading by a program that lets others read and write it.
    OpenElsewhere config(game + "PACK.INI", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    OpenElsewhere player(NewPlayer(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_FALSE(app.WriteNewGameConfig());
    EXPECT_FALSE(app.CreatePlayerProfile());
  }
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"Error creating new config file", "Error creating new PLR file"}));
  EXPECT_EQ(ReadFile(game + "PACK.INI"), "kept\r\n");
  EXPECT_EQ(ReadFile(NewPlayer()), "kept\r\n");
  EXPECT_EQ(Names(game + "Pack\\Driver1"), std::vector<std::string>{"Driver1.PLR"});
  // Once they are closed the same steps succeed.
  EXPECT_TRUE(app.WriteNewGameConfig());
  EXPECT_TRUE(app.CreatePlayerProfile());
}

TEST_F(WinStepTest, SourcesInUseCannotBeOpened) {
  OpenElsewhere config(app.State.OldConfigPath, GENERIC_READ, FILE_SHARE_READ);
  OpenElsewhere player(app.State.TemplatePlayerPath, GENERIC_READ, FILE_SHARE_READ);
  EXPECT_FALSE(app.WriteNewGameConfig());
  EXPECT_FALSE(app.CreatePlayerProfile());
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"Error opening old config file", "Error opening old PLR file"}));
  EXPECT_FALSE(FileExists(game + "PACK.INI"));
}

TEST_F(WinStepTest, ExclusiveSourceShutsOutEveryOtherOpening) {
  ExclusiveFile source;
  ASSERT_TRUE(source.Open(app.State.OldConfigPath));
  EXPECT_EQ(std::fopen((game + "CONFIG.INI").c_str(), "rb"), nullptr);
  EXPECT_EQ(CheckNewFile(game + "config.ini", source), NewFileCheck::InUse);
  Status out = CopyFileReplacing(game + "CONFIG.INI", game + "copy.ini");
  EXPECT_FALSE(out.Ok());
  EXPECT_EQ(out.WindowsCode(), 32u);  // ERROR_SHARING_VIOLATION
  EXPECT_EQ(out.Errno(), EACCES);
}

TEST_F(WinStepTest, LockedLogIsToldOnceAndDoesNotStopTheStep) {
  WriteFile(pkg + "x.dat", "x");
  WriteFile(pkg + "log.txt", "");
  WriteFile(pkg + "files.txt", "${TOPDIR}a=none\n${TOPDIR}x.dat=x.dat\n${TOPDIR}b=none\n");
  {
    OpenElsewhere log(pkg + "log.txt", GENERIC_READ, 0);
    ASSERT_TRUE(app.CopyTemplateFiles(progress));
  }
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(test::WithoutReasons(ui.messages[0]), "2 of 3 files could not be copied:\n  " + game + "a: <reason>\n  " +
                                                      game + "b: <reason>\nlog.txt could not be written.");
  EXPECT_EQ(ReadFile(game + "x.dat"), "x");
  EXPECT_EQ(ReadFile(pkg + "log.txt"), "");
}

}  // namespace
}  // namespace test
}  // namespace trilo
