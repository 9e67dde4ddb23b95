#include <gtest/gtest.h>

#include <string>

#include "step_fixture.h"

namespace trilo {
namespace test {
namespace {

class PlayerProfileTest : public StepTest {
 protected:
  PlayerProfileTest() {
    MakeFolder(game + "Save\\Driver1");
    MakeFolder(game + "Pack\\Save\\Driver1");
    app.State.TemplatePlayerPath = game + "Save\\Driver1\\Driver1.PLR";
    app.State.PLAYERNAME = "Driver1";
    app.Settings.SaveDir = "Pack\\Save\\";
    app.Settings.ReplayDir = "Pack\\Replays\\";
  }

  std::string NewPlayerFile() const { return game + "Pack\\Save\\Driver1\\Driver1.PLR"; }
};

TEST_F(PlayerProfileTest, DropsAndRewritesByExactKey) {
  WriteFile(app.State.TemplatePlayerPath,
            "[PLAYER]\r\n"
            "SceneFile=Monaco.scn\r\n"
            "SceneDesc=Monaco\n"
            "AIFile=ai.dat\n"
            "VehFile=car.veh\r\n"
            "DsVehFile=ds.veh\n"
            "ModFile=mod.mas\n"
            "DriverName=Someone\n"
            "scenefile=kept, other case\n"
            "SceneFile =kept, blank before =\n"
            "  SceneFile=kept, indented\n"
            "TelemetryFile=\"old\\_TEMP.SPT\"\n"
            "PR_Opponents=5\n"
            "QR_Opponents=\n"
            "GP_Opponents=5=6\n"
            "GP_Opponents\n"
            "CH_Opponents=21\r\n"
            "\r\n"
            "Volume=80");  // no line end
  ASSERT_TRUE(app.CreatePlayerProfile());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ReadFile(NewPlayerFile()),
            "[PLAYER]\r\n"
            "scenefile=kept, other case\r\n"
            "SceneFile =kept, blank before =\r\n"
            "  SceneFile=kept, indented\r\n"
            "TelemetryFile=\"Pack\\Replays\\_TEMP.SPT\"\r\n"
            "PR_Opponents=29\r\n"
            "QR_Opponents=29\r\n"
            "GP_Opponents=29\r\n"
            "GP_Opponents\r\n"
            "CH_Opponents=29\r\n"
            "\r\n"
            "Volume=80\r\n");
  EXPECT_EQ(Names(game + "Pack\\Save\\Driver1"), std::vector<std::string>{"Driver1.PLR"});
}

TEST_F(PlayerProfileTest, EmptyReplayFolderAndNoOpponentLines) {
  app.Settings.ReplayDir.clear();
  WriteFile(app.State.TemplatePlayerPath, "TelemetryFile=x\nName=y\n");
  ASSERT_TRUE(app.CreatePlayerProfile());
  EXPECT_EQ(ReadFile(NewPlayerFile()), "TelemetryFile=\"_TEMP.SPT\"\r\nName=y\r\n");
}

TEST_F(PlayerProfileTest, SecondRunReplacesTheFirstFile) {
  WriteFile(app.State.TemplatePlayerPath, "A=1\n");
  ASSERT_TRUE(app.CreatePlayerProfile());
  WriteFile(app.State.TemplatePlayerPath, "B=2\n");
  ASSERT_TRUE(app.CreatePlayerProfile());
  EXPECT_EQ(ReadFile(NewPlayerFile()), "B=2\r\n");
}

TEST_F(PlayerProfileTest, TemplateThatCannotBeOpened) {
  for (const std::string& path : {std::string(), game + "Save\\Driver1\\None.PLR", game + "Save\\Driver1"}) {
    SCOPED_TRACE(path);
    ui.messages.clear();
    app.State.TemplatePlayerPath = path;
    EXPECT_FALSE(app.CreatePlayerProfile());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening old PLR file"});
    EXPECT_EQ(Names(game + "Pack\\Save\\Driver1"), std::vector<std::string>{});
  }
}

TEST_F(PlayerProfileTest, TemplateAsItsOwnTargetKeepsItsContent) {
  // The game's own save folder as the package's: the new file is the template.
  app.Settings.SaveDir = "Save\\";
  const std::string content = "SceneFile=a\r\nPR_Opponents=3\r\n";
  WriteFile(app.State.TemplatePlayerPath, content);
  EXPECT_FALSE(app.CreatePlayerProfile());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error creating new PLR file"});
  EXPECT_EQ(ReadFile(app.State.TemplatePlayerPath), content);
  EXPECT_EQ(Names(game + "Save\\Driver1"), std::vector<std::string>{"Driver1.PLR"});
}

TEST_F(PlayerProfileTest, MissingPlayerFolderOrAFolderInTheWay) {
  WriteFile(app.State.TemplatePlayerPath, "A=1\n");
  app.Settings.SaveDir = "Other\\";  // Other\Driver1\ does not exist
  EXPECT_FALSE(app.CreatePlayerProfile());
  app.Settings.SaveDir = "Pack\\Save\\";
  MakeFolder(NewPlayerFile());
  EXPECT_FALSE(app.CreatePlayerProfile());
  EXPECT_EQ(ui.messages, std::vector<std::string>(2, "Error creating new PLR file"));
  EXPECT_FALSE(FileExists(game + "Other"));
  EXPECT_EQ(ReadFile(app.State.TemplatePlayerPath), "A=1\n");
}

}  // namespace
}  // namespace test
}  // namespace trilo
