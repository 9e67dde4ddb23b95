#include <gtest/gtest.h>

#include <string>

#include "step_fixture.h"

namespace trilo {
namespace test {
namespace {

const char kTenEntries[] =
    "[COMPONENTS]\r\n"
    "SEASONDIR=Seasons\\\r\n"
    "SAVEDIR=Save\\\r\n"
    "OPTIONSDIR=Options\\\r\n"
    "REPLAYDIR=Replays\\\r\n"
    "LOGDIR=Logs\\\r\n"
    "MOVIEDIR=Movies\\\r\n"
    "VEHICLESDIR=Vehicles\\\r\n"
    "TRACKSDIR=Tracks\\\r\n"
    "SOUNDDIR=Sounds\\\r\n"
    "DRIVERSDIR=Drivers\\\r\n";

class GameConfigTest : public StepTest {
 protected:
  GameConfigTest() { app.State.OldConfigPath = game + "CONFIG.INI"; }
};

TEST_F(GameConfigTest, ReadsTheTenEntriesAndCompletesTheNewValues) {
  // Keys and section in any case, blanks around names and values.
  WriteFile(app.State.OldConfigPath,
            "[Other]\nSEASONDIR=Wrong\\\n[components]\n  seasondir = Seasons\\\nSAVEDIR=Save\\\nOPTIONSDIR=Options\\\n"
            "REPLAYDIR=Replays\\\nLOGDIR=Logs\\\nMOVIEDIR=Movies\\\nVEHICLESDIR=Vehicles\\\nTRACKSDIR=Tracks\\\n"
            "SOUNDDIR=Sounds\\\nDRIVERSDIR=Drivers\\");
  app.Settings.ReplayDir = "Pack\\Replays\\";
  app.Settings.SaveDir = "Pack\\Save\\";

  ASSERT_TRUE(app.ReadOldGameConfig());
  EXPECT_TRUE(ui.messages.empty());
  const InstallState& s = app.State;
  EXPECT_EQ(s.OLDSEASONDIR, "Seasons\\");
  EXPECT_EQ(s.OLDSAVEDIR, "Save\\");
  EXPECT_EQ(s.OLDOPTIONSDIR, "Options\\");
  EXPECT_EQ(s.OLDVCRDIR, "Replays\\");
  EXPECT_EQ(s.OLDLOGDIR, "Logs\\");
  EXPECT_EQ(s.OLDMOVIEDIR, "Movies\\");
  EXPECT_EQ(s.OLDVEHICLESDIR, "Vehicles\\");
  EXPECT_EQ(s.OLDTRACKSDIR, "Tracks\\");
  EXPECT_EQ(s.OLDSOUNDDIR, "Sounds\\");
  EXPECT_EQ(s.OLDDRIVERSDIR, "Drivers\\");
  // The package's own values stay; the others take the game's.
  EXPECT_EQ(app.Settings.ReplayDir, "Pack\\Replays\\");
  EXPECT_EQ(app.Settings.SaveDir, "Pack\\Save\\");
  EXPECT_EQ(app.Settings.SeasonDir, "Seasons\\");
  EXPECT_EQ(app.Settings.DriversDir, "Drivers\\");
  std::string text = "${NEWSEASONDIR}|${NEWVCRDIR}|${OLDVCRDIR}";
  app.ExpandPathVariables(text);
  EXPECT_EQ(text, "Seasons\\|Pack\\Replays\\|Replays\\");
}

TEST_F(GameConfigTest, StopsAtTheFirstMissingEntry) {
  std::string config = kTenEntries;
  config.replace(config.find("MOVIEDIR="), 17, "MOVIEDIR=\r\n");  // present but empty
  WriteFile(app.State.OldConfigPath, config);
  app.Settings.SeasonDir = "Pack\\Seasons\\";

  EXPECT_FALSE(app.ReadOldGameConfig());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Couldn't get MOVIEDIR from existing config file"});
  EXPECT_EQ(app.State.OLDLOGDIR, "Logs\\");
  EXPECT_EQ(app.State.OLDMOVIEDIR, "");
  EXPECT_EQ(app.State.OLDVEHICLESDIR, "");  // not read
  EXPECT_EQ(app.Settings.SeasonDir, "Pack\\Seasons\\");
  EXPECT_EQ(app.Settings.SaveDir, "");  // no NEW value is completed
}

TEST_F(GameConfigTest, MissingFileOrSectionReportsTheFirstKey) {
  app.State.OldConfigPath = game + "NOPE.INI";
  EXPECT_FALSE(app.ReadOldGameConfig());
  WriteFile(game + "OTHER.INI", "[SETTINGS]\r\nSEASONDIR=x\r\n");
  app.State.OldConfigPath = game + "OTHER.INI";
  EXPECT_FALSE(app.ReadOldGameConfig());
  EXPECT_EQ(ui.messages, std::vector<std::string>(2, "Couldn't get SEASONDIR from existing config file"));
}

TEST_F(GameConfigTest, LongValueIsCutAt1023Characters) {
  std::string config = kTenEntries;
  const std::string longDir(1500, 'd');
  config.replace(config.find("Tracks\\"), 7, longDir);
  WriteFile(app.State.OldConfigPath, config);
  ASSERT_TRUE(app.ReadOldGameConfig());
  EXPECT_EQ(app.State.OLDTRACKSDIR, longDir.substr(0, 1023));
}

TEST_F(GameConfigTest, WritesEveryLineWithCrLfAndReplacesOnlyWholeKeys) {
  app.Settings.ConfigName = "PACK.INI";
  app.Settings.SaveDir = "Pack\\Save\\";
  app.Settings.SoundDir = "Pack\\Sounds\\";
  app.Settings.TracksDir = "Pack\\Tracks\\";
  app.Settings.MovieDir = "Pack\\Movies\\";
  app.Settings.DriversDir = "${TOPDIR}Drivers\\";  // written as it stands
  WriteFile(app.State.OldConfigPath,
            "; game settings\n"
            "[COMPONENTS]\r\n"
            "MOVIEDIR =Movies\\\n"         // blank in the name part: not a key
            "Sounddir=Sounds\\\r\n"        // any case
            "TRACKSDIR=Tracks\\=old\n"     // everything after the first "=" goes
            ";DRIVERSDIR=Drivers\\\n"
            "=nothing\n"
            "\n"
            "[SAVE]\r\n"
            "SAVEDIR=One\\\n"
            "savedir=Two\\\n"
            " SAVEDIR=Three\\\n"
            "DRIVERSDIR=Drivers\\");       // last line without a line end

  ASSERT_TRUE(app.WriteNewGameConfig());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ReadFile(game + "PACK.INI"),
            "; game settings\r\n"
            "[COMPONENTS]\r\n"
            "MOVIEDIR =Movies\\\r\n"
            "SOUNDDIR=Pack\\Sounds\\\r\n"
            "TRACKSDIR=Pack\\Tracks\\\r\n"
            ";DRIVERSDIR=Drivers\\\r\n"
            "=nothing\r\n"
            "\r\n"
            "[SAVE]\r\n"
            "SAVEDIR=Pack\\Save\\\r\n"
            "SAVEDIR=Pack\\Save\\\r\n"
            " SAVEDIR=Three\\\r\n"
            "DRIVERSDIR=${TOPDIR}Drivers\\\r\n");
  // Nothing but the two files: no temporary file is left behind.
  EXPECT_EQ(Names(game), (std::vector<std::string>{"CONFIG.INI", "PACK.INI"}));
}

TEST_F(GameConfigTest, ReadThenWriteCarriesTheOldValuesWhereThePackageGivesNone) {
  WriteFile(app.State.OldConfigPath, kTenEntries);
  app.Settings.ConfigName = "Sub\\PACK.INI";  // a sub-folder of the game folder
  app.Settings.SeasonDir = "Pack\\Seasons\\";
  MakeFolder(game + "Sub");
  ASSERT_TRUE(app.ReadOldGameConfig());
  ASSERT_TRUE(app.WriteNewGameConfig());
  std::string expected = kTenEntries;
  expected.replace(expected.find("Seasons\\"), 8, "Pack\\Seasons\\");
  EXPECT_EQ(ReadFile(game + "Sub\\PACK.INI"), expected);
}

TEST_F(GameConfigTest, ReplacesAnExistingNewFile) {
  WriteFile(app.State.OldConfigPath, "SAVEDIR=Save\\\n");
  app.Settings.ConfigName = "PACK.INI";
  app.Settings.SaveDir = "New\\";
  WriteFile(game + "PACK.INI", std::string(5000, 'x'));
  ASSERT_TRUE(app.WriteNewGameConfig());
  EXPECT_EQ(ReadFile(game + "PACK.INI"), "SAVEDIR=New\\\r\n");
}

TEST_F(GameConfigTest, MissingOldFileWritesNothing) {
  app.State.OldConfigPath = game + "NOPE.INI";
  app.Settings.ConfigName = "PACK.INI";
  EXPECT_FALSE(app.WriteNewGameConfig());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening old config file"});
  EXPECT_FALSE(FileExists(game + "PACK.INI"));

  app.State.OldConfigPath = game;  // a folder is no configuration file
  EXPECT_FALSE(app.WriteNewGameConfig());
  EXPECT_EQ(ui.messages.back(), "Error opening old config file");
  EXPECT_EQ(Names(game), std::vector<std::string>{});
}

TEST_F(GameConfigTest, TargetThatCannotBeCreatedLeavesTheOldFileAsItWas) {
  const std::string old = std::string(kTenEntries) + "[X]\r\nA=B\r\n";
  WriteFile(app.State.OldConfigPath, old);
  MakeFolder(game + "Folder");
  struct Case {
    const char* configName;
    const char* why;
  } cases[] = {
      {"CONFIG.INI", "the old file itself"},
      {"config.ini", "the old file under another spelling"},
      {"", "the game folder"},
      {"Folder", "a folder"},
      {"Missing\\PACK.INI", "a missing folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ui.messages.clear();
    app.Settings.ConfigName = c.configName;
    EXPECT_FALSE(app.WriteNewGameConfig());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error creating new config file"});
    EXPECT_EQ(ReadFile(app.State.OldConfigPath), old);
    EXPECT_EQ(Names(game), (std::vector<std::string>{"CONFIG.INI", "Folder"}));
  }
}

}  // namespace
}  // namespace test
}  // namespace trilo
