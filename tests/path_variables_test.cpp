#include <gtest/gtest.h>

#include "install/installer_app.h"
#include "test_support.h"

namespace trilo {
namespace {

class PathVariablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.State.TOPDIR = "C:\\Game\\";
    app.State.PLAYERNAME = "Driver1";
    app.State.OLDSEASONDIR = "Season\\";
    app.State.OLDVCRDIR = "Replays\\";
    app.Settings.ReplayDir = "Mod\\Vcr\\";
    app.Settings.SaveDir = "Mod\\Save\\";
  }
  std::string Expand(std::string text) {
    app.ExpandPathVariables(text);
    return text;
  }
  test::ScriptedInteraction ui;
  InstallerApp app{ui};
};

TEST_F(PathVariablesTest, ReplacesEveryPlaceholderWhateverItsCase) {
  EXPECT_EQ(Expand("${TOPDIR}Data"), "C:\\Game\\Data");
  EXPECT_EQ(Expand("${topdir}a ${TopDir}b"), "C:\\Game\\a C:\\Game\\b");
  EXPECT_EQ(Expand("${TOPDIR}${NEWSAVEDIR}${PLAYERDIR}${PLAYERNAME}.PLR"),
            "C:\\Game\\Mod\\Save\\Driver1\\Driver1.PLR");
  EXPECT_EQ(Expand("${NEWVCRDIR}|${OLDVCRDIR}|${OLDSEASONDIR}"), "Mod\\Vcr\\|Replays\\|Season\\");
  // Empty values vanish; PLAYERDIR keeps its separator.
  EXPECT_EQ(Expand("[${OLDDRIVERSDIR}]"), "[]");
  app.State.PLAYERNAME.clear();
  EXPECT_EQ(Expand("${PLAYERDIR}"), "\\");
}

TEST_F(PathVariablesTest, AllTwentyThreePlaceholdersAreKnown) {
  const char* names[] = {"TOPDIR", "PLAYERNAME", "PLAYERDIR", "OLDSEASONDIR", "OLDSAVEDIR", "OLDOPTIONSDIR",
                         "OLDVCRDIR", "OLDSOUNDDIR", "OLDLOGDIR", "OLDMOVIEDIR", "OLDTRACKSDIR", "OLDVEHICLESDIR",
                         "OLDDRIVERSDIR", "NEWSEASONDIR", "NEWSAVEDIR", "NEWOPTIONSDIR", "NEWVCRDIR", "NEWSOUNDDIR",
                         "NEWLOGDIR", "NEWMOVIEDIR", "NEWTRACKSDIR", "NEWVEHICLESDIR", "NEWDRIVERSDIR"};
  for (const char* name : names) EXPECT_EQ(Expand(std::string("${") + name + "}").find("${"), std::string::npos) << name;
  EXPECT_EQ(Expand("${NEWREPLAYDIR}"), "${NEWREPLAYDIR}");  // the replay folder is called VCR
  // Each OLD/NEW pair reads its own field.
  for (const GameDirEntry& e : kGameDirEntries) {
    app.State.*e.oldValue = std::string("old-") + e.key;
    app.Settings.*e.newValue = std::string("new-") + e.key;
  }
  EXPECT_EQ(Expand("${OLDMOVIEDIR} ${NEWTRACKSDIR} ${NEWVCRDIR} ${OLDVEHICLESDIR}"),
            "old-MOVIEDIR new-TRACKSDIR new-REPLAYDIR old-VEHICLESDIR");
}

TEST_F(PathVariablesTest, TextWithoutACompletePairIsUnchanged) {
  EXPECT_EQ(Expand("plain\\path"), "plain\\path");
  EXPECT_EQ(Expand("${TOPDIR"), "${TOPDIR");
  EXPECT_EQ(Expand("cost $5"), "cost $5");
}

TEST_F(PathVariablesTest, ValuesAreSearchedAgain) {
  app.Settings.SeasonDir = "${TOPDIR}Mod\\";
  EXPECT_EQ(Expand("${NEWSEASONDIR}x"), "C:\\Game\\Mod\\x");
}

// A value that holds its own placeholder must not make the expansion run for
// ever; what is left still shows "${" so callers treat it as unexpanded.
TEST_F(PathVariablesTest, SelfReferenceEndsWithThePlaceholderVisible) {
  app.Settings.SeasonDir = "${NEWSEASONDIR}Mod\\";
  std::string text = Expand("${TOPDIR}${NEWSEASONDIR}");
  EXPECT_EQ(text.rfind("C:\\Game\\", 0), 0u);
  EXPECT_NE(text.find("${NEWSEASONDIR}"), std::string::npos);
  EXPECT_LE(text.size(), 40000u);
  // Two values that name each other end the same way.
  app.Settings.SaveDir = "${NEWLOGDIR}";
  app.Settings.LogDir = "${NEWSAVEDIR}";
  EXPECT_NE(Expand("${NEWSAVEDIR}").find("${"), std::string::npos);
}

// A "$"..."}" span that is no placeholder stays as written, and the
// placeholders after it are still replaced.
TEST_F(PathVariablesTest, UnknownSpansStayAndLaterPlaceholdersExpand) {
  EXPECT_EQ(Expand("${UNKNOWN}\\${TOPDIR}"), "${UNKNOWN}\\C:\\Game\\");
  EXPECT_EQ(Expand("$x}${PLAYERNAME}"), "$x}Driver1");
  EXPECT_EQ(Expand("a}b${PLAYERNAME}"), "a}bDriver1");  // "}" before the first "$"
  EXPECT_EQ(Expand("$${PLAYERNAME}"), "$Driver1");
  EXPECT_EQ(Expand("${ TOPDIR}${TOPDIR} "), "${ TOPDIR}C:\\Game\\ ");
  // A "$" brought in by a value is not mistaken for the start of a placeholder.
  app.State.TOPDIR = "C:\\$Game\\";
  EXPECT_EQ(Expand("${TOPDIR}${PLAYERNAME}"), "C:\\$Game\\Driver1");
}

}  // namespace
}  // namespace trilo
