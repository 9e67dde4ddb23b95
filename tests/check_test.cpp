// trilo-check's findings on small broken packages, each laid out here, and
// the package template it must pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "check/package_check.h"
#include "platform/user_path.h"
#include "ini_corpus.h"
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
  for (int i = 1; i <= 6; ++i) WriteFile(game + "Cars\\car" + std::to_string(i) + ".dat", "c");
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
  // the game folder); {game+N} is the length of the game folder's path and N.
  std::vector<std::string> expected;
  std::string note = "";  ///< a note beyond the one of a check without the game
};

const char kSaveAs[] = "save it without a mark, in the players' code page (in Notepad: \"ANSI\")";
// 202 characters within the package.
const std::string kLongSource = "content\\" + std::string(190, 's') + ".dat";

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
        "dirs.txt:1: warning: the folder `${NEWTRAKSDIR}Avus` lies outside the game folder",
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
      {"byte order marks and UTF-8 letters",
       {{"conf.ini", "\xEF\xBB\xBF[VESKAINSTALL]\r\nGDB=0\r\n[GUI]\r\nTitle=F1 Saison 1967 N\xC3\xBCrburgring\r\n"},
        {"dirs.txt", "\xEF\xBB\xBF${TOPDIR}Mod\r\n"},
        {"files.txt", test::Utf16Le(u"${TOPDIR}Mod\\a.dat = a.dat\r\n")},
        {"a.dat", "a"}},
       false,
       {std::string("conf.ini:1: error: the file starts with a UTF-8 byte order mark (EF BB BF), which Windows reads "
                    "as three characters of the first line: a section header on the first line is not found, and its "
                    "keys are never read; ") + kSaveAs,
        "conf.ini:2: warning: `GDB` stands before any section: the installer never reads it",
        // As the console shows code page 1252: the two bytes of the UTF-8 "\xC3\xBC" as two letters.
        "conf.ini:4: warning: the text is UTF-8, but the players' code page 1252 shows it as `" +
            TextForUser("Title=F1 Saison 1967 N\xC3\xBCrburgring") +
            "`; save the file in code page 1252 (in Notepad: \"ANSI\")",
        std::string("dirs.txt:1: error: the file starts with a UTF-8 byte order mark (EF BB BF), which Windows reads "
                    "as three characters of the first line: the first line's path or comment starts with them; ") +
            kSaveAs,
        "dirs.txt:1: warning: the folder `\xEF\xBB\xBF${TOPDIR}Mod` lies outside the game folder",
        std::string("files.txt:1: error: the file is UTF-16 (\"Unicode\", it starts with FF FE), which the installer "
                    "reads byte by byte: no line of it reads as written; ") + kSaveAs}},
      {"UTF-16 conf.ini: little-endian read, big-endian not",
       {{"conf.ini", test::Utf16Le(u"[VESKAINSTALL]\r\nNewShortcut=1\r\n[VESKASHORTCUT]\r\nIconFile=i.ico\r\n")},
        {"Full.dirs.txt", ""},
        {"dirs.txt", ""},
        {"files.txt", ""}},
       false,
       {"conf.ini:2: error: NewShortcut is on but `Desc` is empty or missing: the shortcut would be named \".lnk\""},
       "conf.ini is UTF-16 (\"Unicode\"): the installer reads it as Windows does, in code page 1252"},
      {"UTF-16 big-endian conf.ini",
       {{"conf.ini", std::string("\xFE\xFF\0[\0G\0U\0I\0]", 12)}, {"dirs.txt", ""}, {"files.txt", ""}},
       false,
       {std::string("conf.ini:1: error: the file is UTF-16 big-endian (it starts with FE FF), which Windows cannot "
                    "read: every key takes its default; ") + kSaveAs}},
      {"copies onto the game's own files",
       {{"conf.ini", "[GUI]\nTitle=Mod\n"},
        {"dirs.txt", ""},
        {"files.txt",
         "${TOPDIR}f1_9902.exe = a.dat\n${TOPDIR}config.ini = a.dat\n${TOPDIR}${OLDSEASONDIR}game.gdb = a.dat\n"
         "${TOPDIR}Cars\\car1.dat = a.dat\n${TOPDIR}Cars\\car2.dat = a.dat\n${TOPDIR}Cars\\car3.dat = a.dat\n"
         "${TOPDIR}Cars\\car4.dat = a.dat\n${TOPDIR}Cars\\car5.dat = a.dat\n${TOPDIR}Cars\\car6.dat = a.dat\n"},
        {"a.dat", "a"}},
       true,
       {"files.txt: warning: 6 copies replace files the game already has (`<{game}Cars\\car1.dat>`, "
        "`<{game}Cars\\car2.dat>`, `<{game}Cars\\car3.dat>`, `<{game}Cars\\car4.dat>` and `<{game}Cars\\car5.dat>` "
        "and more; --dry-run lists them all): players lose what was there, which another package may need",
        "files.txt:1: error: the copy replaces `<{game}f1_9902.exe>`, the game's program: players could no longer "
        "start the game",
        "files.txt:2: error: the copy replaces `<{game}config.ini>`, the game configuration the install reads: "
        "players lose their settings, and a new configuration made from the copy",
        "files.txt:3: error: the copy replaces `<{game}Season\\game.gdb>`, the game's database, which the merge "
        "rewrites: the game's circuits are lost, and a copy that is not a whole game.gdb ends the merge with "
        "\"Unexpected end of game.gdb file\"; put the package's circuits in gdb.txt"}},
      {"circuits merged into a season the new configuration leaves",
       {{"conf.ini", "[VESKAINSTALL]\nNewConfig=1\nGDB=1\n[VESKACONFIG]\nConfigName=Mod.ini\nSeasonDir=Mod\\\n"},
        {"dirs.txt", "${TOPDIR}Mod\n"},
        {"files.txt", ""},
        {"gdb.txt", "SeasonRaces\n{\n  Avus\n  {\n  }\n}\n"}},
       true,
       {"conf.ini:6: warning: GDB is on, but the new configuration's season folder `<{game}Mod\\>` is not the game's "
        "`<{game}Season\\>`: the merge puts the circuits into `<{game}Season\\game.gdb>`, which the new "
        "configuration does not read; for a season of its own, copy a whole game.gdb into its folder with files.txt "
        "and turn GDB off"}},
      {"long paths and folders outside the game",
       {{"conf.ini", "[GUI]\nTitle=Mod\n"},
        {"dirs.txt", "${TOPDIR}..\\..\\x\n"},
        {"files.txt", "${TOPDIR}Cars\\" + std::string(259, 'd') + " = a.dat\n${TOPDIR}Cars\\s.dat = " + kLongSource +
                          "\n"},
        {"a.dat", "a"},
        {kLongSource, "s"}},
       true,
       {"dirs.txt:1: warning: the folder `<{game}..\\..\\x>` lies outside the game folder",
        "files.txt:1: error: the destination is {game+264} characters long in this game folder: Windows' file "
        "functions stop at 259, so the copy would fail and be logged in log.txt",
        "files.txt:2: warning: the source is 202 characters long within the package: the folder players unpack it "
        "into comes before it, and Windows' file functions stop at 259; keep it under 200"}},
      {"lines ended by CR alone",
       {{"conf.ini", "[GUI]\rTitle=Mod\r"}, {"dirs.txt", "${TOPDIR}Mod\r${TOPDIR}Mod\\Cars\r"}, {"files.txt", ""}},
       false,
       {"conf.ini:1: warning: lines end in CR alone: Windows reads them, but most tools see one line; save the file "
        "with CR LF line ends",
        "dirs.txt:1: error: lines end in CR alone: the installer ends a line only at LF, so it reads them as one "
        "line; save the file with CR LF line ends"}},
      {"an unclosed circuit entry in gdb.txt",
       {{"conf.ini", "[VESKAINSTALL]\nGDB=1\n"},
        {"dirs.txt", ""},
        {"files.txt", ""},
        {"gdb.txt",
         "SeasonRaces\n{\n  A1\n  {\n  }\n  B2\n  {\n  }\n  C3\n  {\n    x\n}\n"   // 1-12: C3 unclosed
         "F1_Circuit_Race_Times\n{\n  A1 = 1:00.000\n}\n"}},                       // 13-16
       false,
       {"gdb.txt:9: error: the file ends inside `SeasonRaces`, opened at line 1: its entry `C3` at line 9 has no \"}\" "
        "of its own, so `F1_Circuit_Race_Times` at line 13 and what follows were read as its entries: the merge "
        "would stop with \"Unexpected end of game.gdb file\""}},
      {"what players would find in the package folder",
       {{"conf.ini", "[GUI]\nTitle=Mod\n"},
        {"dirs.txt", ""},
        {"files.txt", ""},
        {"log.txt", "failed: x\r\n"},
        {"trilo-check.exe", "MZ"}},
       false,
       {"log.txt: warning: left from an install: players would see its old list of failed copies (each install adds "
        "to it); delete it before you ship the package",
        "trilo-check.exe: warning: players would see it beside trilo-setup.exe and may start it instead; leave it out "
        "of the package"}},
  };
}

// The expected line as the report writes it: paths between < and > in the
// system's own form.
std::string Resolve(std::string line, const std::string& game) {
  const size_t length = line.find("{game+");
  if (length != std::string::npos) {
    const size_t close = line.find('}', length);
    const size_t more = std::stoul(line.substr(length + 6, close - length - 6));
    line.replace(length, close - length + 1, std::to_string(game.size() + more));
  }
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
    WriteFile(pkg + "trilo-setup.exe", "MZ");  // as players get a package
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
    std::vector<std::string> notes;
    if (!c.note.empty()) notes.push_back(c.note);
    if (!c.withGame)
      notes.push_back("no game given (--game-exe) or found in the registry: the checks against the game were skipped");
    EXPECT_EQ(report.notes, notes) << c.name;
  }
}

TEST(CheckPackageTest, TheTemplatePassesWithAndWithoutTheGame) {
  CheckRequest request;
  request.packageDir = Example("package-template");
  request.findGame = false;
  CheckReport report = CheckPackage(request);
  EXPECT_EQ(report.Text(),
            "note: the package folder has no trilo-setup.exe: players would have nothing to start; put it in before "
            "you ship the package\n"
            "note: no game given (--game-exe) or found in the registry: the checks against the game were skipped\n"
            "text read in code page 1252\n"
            "0 errors, 0 warnings\n");

  request.gameExe = Example("sample-game\\f1_9902.exe");
  request.player = Example("sample-game\\Save\\Driver1\\Driver1.PLR");
  request.dryRun = true;
  report = CheckPackage(request);
  // The template is clean; the game's own database has a comment, which
  // its rewrite does not keep.
  ASSERT_EQ(report.findings.size(), 1u) << report.Text();
  EXPECT_EQ(FormatFinding(report.findings[0]), "Season\\game.gdb:1: warning: 1 comment line is not kept");
  EXPECT_EQ(report.notes.size(), 1u) << report.Text();  // no trilo-setup.exe in the template
  EXPECT_FALSE(report.plan.empty());
}

// What the rewrite of the game's database leaves out is said at the
// database's own lines, and listed under the merge in the plan.
TEST(CheckPackageTest, WhatTheRewriteDropsIsSaidAtTheGamesLines) {
  TempDir dir;
  const std::string pkg = dir / "pkg\\", game = dir / "game\\";
  MakeFolder(pkg);
  MakeGame(game);
  WriteFile(pkg + "conf.ini", "[VESKAINSTALL]\nGDB=1\n");
  WriteFile(pkg + "dirs.txt", "");
  WriteFile(pkg + "files.txt", "");
  WriteFile(pkg + "gdb.txt", "SeasonRaces\n{\n  Monza 1967\n  {\n  }\n}\nF1_Circuit_Race_Times\n{\n  Monza 1967 = 1:28.500\n}\n");
  WriteFile(game + "Season\\game.gdb",
            "// the season\r\n"                                           // 1
            "SeasonRaces\r\n{\r\n  Albert Park\r\n  {\r\n  }\r\n}\r\n"     // 2-7
            "F1_Circuit_Race_Times\r\n{\r\n"                             // 8-9
            "  Albert Park = 1:28.214 // lap\r\n  Melbourne = 1:30.000\r\n"  // 10-11
            "}\r\nSeason_Weather\r\n{\r\n  Rain = 0\r\n}\r\n");          // 12-16
  CheckRequest request;
  request.packageDir = pkg;
  request.findGame = false;
  request.gameExe = game + "f1_9902.exe";
  request.dryRun = true;
  CheckReport report = CheckPackage(request);
  std::vector<std::string> found;
  for (const Finding& f : report.findings) found.push_back(FormatFinding(f));
  EXPECT_EQ(found, (std::vector<std::string>{
                       "Season\\game.gdb:1: warning: 2 comment lines are not kept",
                       "Season\\game.gdb:11: warning: `Melbourne` is not a circuit of this file's SeasonRaces: this "
                       "line is dropped",
                       "Season\\game.gdb:13: warning: unknown section `Season_Weather`, which the installer skips: "
                       "the rewrite drops it"}));
  std::string plan;
  for (const std::string& line : report.plan) plan += line + "\n";
  EXPECT_NE(plan.find("    circuit added    Monza 1967\n"
                      "    dropped: line 11: value line `Melbourne` of F1_Circuit_Race_Times, no such circuit\n"
                      "    dropped: line 13: unknown section `Season_Weather`\n"
                      "    dropped: 2 comment lines are not kept\n"),
            std::string::npos)
      << plan;

  // Adding nothing still rewrites the file, which is said too.
  WriteFile(pkg + "gdb.txt", "SeasonRaces\n{\n  Albert Park\n  {\n  }\n}\n");
  report = CheckPackage(request);
  found.clear();
  for (const Finding& f : report.findings) found.push_back(FormatFinding(f));
  EXPECT_NE(std::find(found.begin(), found.end(),
                      "gdb.txt: warning: the merge adds no circuit, yet the game's `Season\\game.gdb` is rewritten all "
                      "the same"),
            found.end())
      << report.Text();
}

}  // namespace
}  // namespace test
}  // namespace trilo
