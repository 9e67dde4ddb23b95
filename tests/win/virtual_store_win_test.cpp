// The VirtualStore, laid out by hand as Windows would have made it for a
// game under Program Files (Wine virtualises nothing): the installer reads
// what the game really uses.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <filesystem>
#include <string>

#include "install/install_flow.h"
#include "platform/virtual_store.h"
#include "record_tree.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

// The ten folder entries, the season folder as given.
std::string GameConfig(const std::string& season) {
  std::string text = "[COMPONENTS]\r\nSEASONDIR=" + season + "\r\n";
  for (const char* key : {"SAVEDIR=Save", "OPTIONSDIR=O", "REPLAYDIR=R", "LOGDIR=L", "MOVIEDIR=M", "VEHICLESDIR=V",
                          "TRACKSDIR=T", "SOUNDDIR=S", "DRIVERSDIR=D"})
    text += std::string(key) + "\\\r\n";
  return text;
}

std::string KnownFolder(int id) {
  char path[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

class VirtualStoreTest : public ::testing::Test {
 protected:
  VirtualStoreTest() {
    const std::string name = "\\trilo-store-test-" + std::to_string(GetCurrentProcessId()) + "\\";
    game = KnownFolder(CSIDL_PROGRAM_FILESX86) + name;
    stored = VirtualStoreFolder() + game.substr(2);
    WriteFile(MadeFor(game + "CONFIG.INI"), GameConfig("Real\\"));
    WriteFile(MadeFor(game + "Save\\Driver1\\Driver1.PLR"), "[DRIVER]\r\n");
    WriteFile(MadeFor(stored + "CONFIG.INI"), GameConfig("Stored\\"));
    WriteFile(MadeFor(stored + "Save\\Mine\\Mine.PLR"), "[DRIVER]\r\n");
  }
  ~VirtualStoreTest() override {
    std::filesystem::remove_all(game);
    std::filesystem::remove_all(stored);
  }
  static std::string MadeFor(const std::string& file) {
    std::filesystem::create_directories(file.substr(0, file.find_last_of('\\')));
    return file;
  }

  std::string game, stored;
  SilentInteraction ui;
  InstallerApp app{ui};
};

TEST_F(VirtualStoreTest, TheGamesOwnCopiesAreRead) {
  EXPECT_EQ(VirtualStorePath(game + "CONFIG.INI"), stored + "CONFIG.INI");
  // Only the virtualised folders have copies, and only where one was made.
  EXPECT_EQ(VirtualStorePath("C:\\Games\\F1\\CONFIG.INI"), "");
  EXPECT_EQ(VirtualStoreCopy(game + "Save\\Driver1\\Driver1.PLR"), "");

  app.State.OldConfigPath = game + "CONFIG.INI";
  ASSERT_TRUE(app.ReadOldGameConfig());
  EXPECT_EQ(app.State.OLDSEASONDIR, "Stored\\");
  EXPECT_EQ(app.VirtualStoreReads, std::vector<std::string>{stored + "CONFIG.INI"});
  // The players the game made, named where the game sees them.
  EXPECT_EQ(FindPlayerFiles(game + "f1_9902.exe", game + "CONFIG.INI"),
            (std::vector<std::string>{game + "Save\\Driver1\\Driver1.PLR", game + "Save\\Mine\\Mine.PLR"}));

  // A restart with administrator rights uses the VirtualStore it was given.
  const std::string own = VirtualStoreFolder();
  UseVirtualStore("C:\\users\\player\\AppData\\Local\\VirtualStore");
  EXPECT_EQ(VirtualStorePath(game + "CONFIG.INI"), "C:\\users\\player\\AppData\\Local\\VirtualStore" + game.substr(2) + "CONFIG.INI");
  UseVirtualStore("");
  EXPECT_EQ(VirtualStoreFolder(), own);
}

// What the install writes, Windows' copies of it included: a copy left in
// the VirtualStore would hide the new file from the game. It goes into the
// record and comes back with the undo.
TEST_F(VirtualStoreTest, CopiesOfWrittenFilesGoIntoTheRecordAndComeBack) {
  std::filesystem::remove_all(game);
  std::filesystem::remove_all(stored);
  std::filesystem::copy(Native(Example("sample-game")), Native(game), std::filesystem::copy_options::recursive);
  const std::string pkg = game + "pkg\\";
  std::filesystem::copy(Native(Example("sample-package")), Native(pkg), std::filesystem::copy_options::recursive);
  const std::string copied = "ClassicMod\\Tracks\\Monza1967\\monza1967.gdb";
  WriteFile(MadeFor(stored + "Season\\game.gdb"), ReadFile(game + "Season\\game.gdb"));
  WriteFile(MadeFor(stored + copied), "the game's own");
  const Tree before = ReadTree(stored);

  ASSERT_EQ(InstallSample(pkg, game, "Full"), InstallResult::Installed);
  EXPECT_FALSE(FileExists(stored + "Season\\game.gdb"));
  EXPECT_FALSE(FileExists(stored + copied));
  EXPECT_NE(ReadFile(game + "Season\\game.gdb").find("Monza 1967"), std::string::npos);

  ScriptedInteraction undoUi;
  ASSERT_EQ(UndoInstall(pkg, game, "last", false, undoUi), UndoResult::Undone);
  EXPECT_EQ(ReadTree(stored), before);
}

}  // namespace
}  // namespace test
}  // namespace trilo
