// trilo-check's findings on small broken packages, each laid out here, and
// the package template it must pass.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/package_check.h"
#include "platform/user_path.h"
#include "test_support.h"
#include "text/text_util.h"

namespace trilo {
namespace test {
namespace {

// A game with the ten folder entries, a database that has Sepang and
// Interlagos, and only the Season and Cars folders.
void MakeGame(const std::string& game) {
  MakeFolder(game + "Season");
  MakeFolder(game + "Cars");
  WriteFile(game + "f1_9902.exe", "MZ");
  std::string config = "[COMPONENTS]\r\n";
  for (const char* entry : {"SEASONDIR=Season\\", "SAVEDIR=Save\\", "OPTIONSDIR=Options\\", "REPLAYDIR=Replays\\",
                            "LOGDIR=Logs\\", "MOVIEDIR=Movies\\", "VEHICLESDIR=Cars\\", "TRACKSDIR=Tracks\\",
                            "SOUNDDIR=Sounds\\", "DRIVERSDIR=Drivers\\"})
    config += std::string(entry) + "\r\n";
  WriteFile(game + "CONFIG.INI", config);
  WriteFile(game + "Season\\game.gdb", "SeasonRaces\r\n{\r\n  Sepang\r\n  {\r\n  }\r\n  Interlagos\r\n  {\r\n  }\r\n}\r\n");
}

std::string SeasonRaces(int first, int count) {
  std::string text = "SeasonRaces\n{\n";
  for (int i = first; i < first + count; ++i) text += "  C" + std::to_string(i) + "\n  {\n  }\n";
  return text + "}\n";
}

struct BrokenPackage {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // relative path, content
  bool withGame;
  // Paths between < and > are written as the report shows them ({game} is
  // the game folder).
  std::vector<std::string> expected;
};

std::vector<BrokenPackage> BrokenPackages() {
  const char* stopsCreating = ": the install would stop here with \"Error creating directory\"";
  const char* copyFails = "the copy would fail and be logged in log.txt";
  return {
      {"no conf.ini",
       {{"dirs.txt", ""}, {"files.txt", ""}},
       false,
       {"conf.ini: warning: missing: every key takes its default, so the install writes no new configuration, "
        "player, shortcut or circuits, and every ${NEW...} folder is the game's own"}},
      {"conf.ini names and values",
       {{"conf.ini",
         "[VESKAINSTALL]\nGDB=yes\nNewPlayer=2\nVersion0=A\nVersion2=C\n[GUI]\nTitel=Mod\nSplashDelay=3s\n"
         "SplashOn=1\nSplashImg=none.bmp\n[GIU]\nTitle=x\n[VESKAINSTALL]\nNewConfig=1\n"},
        {"A.dirs.txt", ""},
        {"A.files.txt", ""}},
       false,
       {"conf.ini:2: error: `GDB=yes` is not 0 or 1: the installer reads it as 0, off",
        "conf.ini:3: warning: `NewPlayer=2` is not 0 or 1: the installer reads it as 2, on",
        "conf.ini:5: error: `Version2` is never offered: the versions end at the missing `Version1`",
        "conf.ini:7: warning: unknown key `Titel` in [GUI], which the installer never reads: did you mean `Title`?",
        "conf.ini:8: warning: `SplashDelay=3s` is not a number of milliseconds: the installer reads it as 3",
        "conf.ini:10: error: the splash image `none.bmp` is not in the package",
        "conf.ini:11: warning: unknown section [GIU], which the installer never reads: did you mean [GUI]?",
        "conf.ini:13: warning: [VESKAINSTALL] again (first at line 1): the installer reads only the first"}},
      {"NewConfig without ConfigName",
       {{"conf.ini", "[VESKAINSTALL]\r\nNewConfig=1\r\n[VESKACONFIG]\r\nSaveDir=Mod\\Save\\\r\n"},
        {"dirs.txt", ""},
        {"files.txt", ""}},
       false,
       {"conf.ini:2: error: NewConfig is on but [VESKACONFIG] has no `ConfigName`: the installer shows \"Couldn't get "
        "new config file name from conf.ini\" and reads nothing more of conf.ini"}},
      {"shortcut without its names, splash that is no bitmap",
       {{"conf.ini", "[VESKAINSTALL]\nNewShortcut=1\n[GUI]\nSplashOn=1\nSplashImg=splash.bmp\n"},
        {"splash.bmp", "GIF89a"},
        {"dirs.txt", ""},
        {"files.txt", ""}},
       false,
       {"conf.ini:2: error: NewShortcut is on but `Desc` is empty or missing: the shortcut would be named \".lnk\"",
        "conf.ini:2: warning: NewShortcut is on but `IconFile` is empty or missing: the shortcut's icon would be the "
        "game folder itself",
        "conf.ini:5: error: the splash image `splash.bmp` is not a bitmap (.bmp): the splash window shows only bitmaps"}},
      {"version name too long",
       {{"conf.ini", "[VESKAINSTALL]\nVersion0=" + std::string(250, 'v') + "\n"}},
       false,
       {"conf.ini:2: error: the version name has 250 characters: with \".files.txt\" it passes the 255 a template "
        "name may have, so this version cannot be installed"}},
      {"templates of a version missing",
       {{"conf.ini", "[VESKAINSTALL]\nVersion0=Full\nVersion1=Lite\n"},
        {"Full.dirs.txt", ""},
        {"Full.files.txt", ""},
        {"dirs.txt", ""}},
       false,
       {"Lite.dirs.txt: error: missing: the install of version `Lite` would stop with \"Error opening directory "
        "template\" (conf.ini lists the versions `Full` and `Lite`)",
        "Lite.files.txt: error: missing: the install of version `Lite` would stop with \"Error opening file "
        "template\" (conf.ini lists the versions `Full` and `Lite`)",
        "dirs.txt: warning: never read: with versions listed, each reads its own, such as `Full.dirs.txt`"}},
      {"template lines, without the game",
       {{"conf.ini", "[GUI]\nTitle=Mod\n"},
        {"dirs.txt", "${NEWTRAKSDIR}Avus\n${TOPDIR}${PLAYERDIR}\n"},
        {"files.txt",
         "# a comment\n${TOPDIR}Mod\\a.dat = Content\\A.DAT\n${TOPDIR}Mod\\b.dat = content\\missing.dat\n"
         "just a line\n${TOPDIR = content\\a.dat\n${topdir}Mod\\A.dat = content\\a.dat\nMod\\c.dat = content\\a.dat\n"},
        {"content\\a.dat", "a"}},
       false,
       {"dirs.txt:1: error: unknown placeholder `${NEWTRAKSDIR}` stays as written: did you mean `${NEWTRACKSDIR}`?",
        "dirs.txt:2: warning: `${PLAYERDIR}` is only \"\\\": NewPlayer is off, so no player file is asked for",
        std::string("files.txt:3: error: the source `<content\\missing.dat>` does not exist: ") + copyFails,
        "files.txt:4: error: a copy line without \"=\": the install would stop here with \"Malformed file copy string\"",
        "files.txt:5: error: `${TOPDIR = content\\a.dat` has no closing `}`: it stays as written",
        "files.txt:5: warning: the destination `${TOPDIR` lies outside the game folder",
        "files.txt:6: warning: `${topdir}Mod\\A.dat` is copied to again (first at line 2): the later copy replaces the "
        "earlier",
        "files.txt:7: warning: the destination `<Mod\\c.dat>` lies outside the game folder",
        std::string("files.txt:7: error: no folder `<Mod>` for this copy: dirs.txt does not make it and the game "
                    "does not have it, so ") + copyFails}},
      {"folders and copies against the game",
       {{"conf.ini", "[VESKAINSTALL]\nNewConfig=1\n[VESKACONFIG]\nConfigName=Mod.ini\nTracksDir=Mod\\Tracks\\\n"},
        {"dirs.txt", "${TOPDIR}${NEWTRACKSDIR}Avus\n${TOPDIR}Mod\n${TOPDIR}${NEWTRACKSDIR}\n${TOPDIR}Other\\Deep\n"},
        {"files.txt",
         "${TOPDIR}${NEWTRACKSDIR}Avus\\avus.gdb = content\\a.dat\n${TOPDIR}Nowhere\\x.dat = content\\a.dat\n"
         "${TOPDIR}Mod\\game.gdb = ${TOPDIR}${OLDSEASONDIR}game.gdb\n"
         "${TOPDIR}${NEWSEASONDIR}game.gdb = ${TOPDIR}Season\\GAME.GDB\n..\\outside.dat = content\\a.dat\n"},
        {"content\\a.dat", "a"}},
       true,
       {std::string("dirs.txt:1: error: `<{game}Mod\\Tracks\\Avus>` comes before its parent folder (line 3)") +
            stopsCreating,
        std::string("dirs.txt:4: error: the parent folder of `<{game}Other\\Deep>` does not exist") + stopsCreating,
        std::string("files.txt:2: error: no folder `<{game}Nowhere>` for this copy: dirs.txt does not make it and "
                    "the game does not have it, so ") + copyFails,
        std::string("files.txt:4: error: the source and the destination are the same file `<{game}Season\\game.gdb>`: ") +
            copyFails,
        "files.txt:5: warning: the destination `<..\\outside.dat>` lies outside the game folder"}},
      {"gdb.txt as the reader takes it",
       {{"conf.ini", "[VESKAINSTALL]\nGDB=1\n"},
        {"dirs.txt", ""},
        {"files.txt", ""},
        {"gdb.txt",
         "F1_Circuit_Race_Times\n{\n  Sepang = 1:00.000\n}\n"  // 1-4: before SeasonRaces lists it
         "SeasonRaces\n{\n  Monza 1967\n  {\n  }\n  Sepang\n  {\n  }\n  Sepang\n  {\n  }\n}\n"  // 5-16
         "F1_Circuit_Qualify_Times\n{\n  Monza 1967 = 1:28.500\n  Spa = 2:00.000\n}\n"  // 17-21
         "seasonraces\n{\n}\n"                                                        // 22-24
         "F1_Circuit_AI_Race_Setup_Wetness00\n{\n  Sepang = x.svm\n"}},              // 25-: no end
       false,
       {"gdb.txt:3: warning: `Sepang` is listed in SeasonRaces only at line 10: this line, before it, is dropped",
        "gdb.txt:7: warning: the circuit `Monza 1967` has a blank in its name: a value line's name ends at its first "
        "blank, so no time or setup can ever attach to it",
        "gdb.txt:13: warning: the circuit `Sepang` is listed again (first at line 10): this entry is dropped",
        "gdb.txt:20: warning: `Spa` is not a circuit of this file's SeasonRaces: this line is dropped",
        "gdb.txt:22: warning: unknown section `seasonraces`, which the installer skips: did you mean `SeasonRaces`?",
        "gdb.txt:25: error: the file ends inside `F1_Circuit_AI_Race_Setup_Wetness00`, opened at line 25: the merge "
        "would stop with \"Unexpected end of game.gdb file\""}},
      {"gdb.txt against the game's database",
       {{"conf.ini", "[VESKAINSTALL]\nGDB=1\n"},
        {"dirs.txt", ""},
        {"files.txt", ""},
        {"gdb.txt", "SeasonRaces\r\n{\r\n  Avus\r\n  {\r\n  }\r\n  Sepang\r\n  {\r\n  }\r\n}\r\n"}},
       true,
       {"gdb.txt:6: warning: the circuit `Sepang` is in the game's database already: the merge skips it"}},
      {"too many circuits in gdb.txt",
       {{"conf.ini", "[VESKAINSTALL]\nGDB=1\n"}, {"dirs.txt", ""}, {"files.txt", ""}, {"gdb.txt", SeasonRaces(0, 1001)}},
       false,
       {"gdb.txt:3003: error: more than 1000 circuits: the merge would stop with \"Too many circuits in game.gdb "
        "file\""}},
      {"too many circuits with the game's",
       {{"conf.ini", "[VESKAINSTALL]\nGDB=1\n"}, {"dirs.txt", ""}, {"files.txt", ""}, {"gdb.txt", SeasonRaces(0, 999)}},
       true,
       {"gdb.txt: error: the game's 2 circuits and the 999 this file adds make more than 1000: the merge would stop "
        "with \"Too many circuits in game.gdb file\""}},
      {"commands",
       {{"conf.ini", "[VESKAINSTALL]\nPreInstall=nosuch.exe ${OLDSAVEDIR}\nPostInstall=fix -q\n"},
        {"fix.exe", "MZ"},
        {"dirs.txt", ""},
        {"files.txt", ""}},
       false,
       {"conf.ini:2: warning: `${OLDSAVEDIR}` is empty when PreInstall runs: the game's configuration is read after it",
        "conf.ini:2: error: PreInstall: no program `nosuch.exe` is found in the package folder or along the search "
        "path: the install would stop before its first step"}},
  };
}

// The expected line as the report writes it: paths between < and > in the
// system's own form.
std::string Resolve(std::string line, const std::string& game) {
  for (size_t open; (open = line.find('<')) != std::string::npos;) {
    const size_t close = line.find('>', open);
    std::string path = line.substr(open + 1, close - open - 1);
    if (path.rfind("{game}", 0) == 0) path = game + path.substr(6);
    line.replace(open, close - open + 1, PathForUser(path));
  }
  return line;
}

TEST(CheckPackageTest, BrokenPackagesGiveTheirFindings) {
  for (const BrokenPackage& c : BrokenPackages()) {
    TempDir dir;
    const std::string pkg = dir / "pkg\\";
    const std::string game = dir / "game\\";
    MakeFolder(pkg);
    for (const auto& [path, content] : c.files) {
      const size_t slash = path.rfind('\\');
      if (slash != std::string::npos) MakeFolder(pkg + path.substr(0, slash));
      WriteFile(pkg + path, content);
    }
    CheckRequest request;
    request.packageDir = pkg;
    request.findGame = false;
    if (c.withGame) {
      MakeGame(game);
      request.gameExe = game + "f1_9902.exe";
    }
    const CheckReport report = CheckPackage(request);
    std::vector<std::string> found, expected;
    for (const Finding& f : report.findings) found.push_back(FormatFinding(f));
    for (const std::string& line : c.expected) expected.push_back(Resolve(line, game));
    EXPECT_EQ(found, expected) << c.name;
    EXPECT_EQ(report.notes.empty(), c.withGame) << c.name;
  }
}

TEST(CheckPackageTest, TheTemplatePassesWithAndWithoutTheGame) {
  CheckRequest request;
  request.packageDir = Example("package-template");
  request.findGame = false;
  CheckReport report = CheckPackage(request);
  EXPECT_EQ(report.Text(),
            "note: no game given (--game-exe) or found in the registry: the checks against the game were skipped\n"
            "0 errors, 0 warnings\n");

  request.gameExe = Example("sample-game\\f1_9902.exe");
  request.player = Example("sample-game\\Save\\Driver1\\Driver1.PLR");
  request.dryRun = true;
  report = CheckPackage(request);
  EXPECT_EQ(report.Count(Severity::Error) + report.Count(Severity::Warning), 0) << report.Text();
  EXPECT_TRUE(report.notes.empty()) << report.Text();
  EXPECT_FALSE(report.plan.empty());
}

}  // namespace
}  // namespace test
}  // namespace trilo
