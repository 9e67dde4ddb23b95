#pragma once
// The checker's own state, shared by its files and private to this layer.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "check/package_check.h"
#include "formats/gdb_drops.h"
#include "formats/ini_reader.h"
#include "install/installer_app.h"
#include "install/template_file.h"

namespace trilo {

/// The install of one version, followed as far as the checks need: the
/// installer's own records for it, and what its steps would make.
struct VersionRun {
  explicit VersionRun(const std::string& v) : version(v) {}
  std::string version;
  SilentInteraction ui;
  InstallerApp app{ui};
  bool ready = false;                   ///< the game's paths are known: TOPDIR, OLD and NEW values
  bool dirsRead = false;
  std::string dirsName, filesName, gdbName;
  std::set<std::string> folders;        ///< keys of the folders dirs.txt makes
  std::map<std::string, int> copies;    ///< keys of the files files.txt writes, with their lines
  std::vector<std::string> replaced;    ///< files of the game the copies replace, as shown
  std::set<std::string> garbled;        ///< templates in UTF-16, whose lines are not followed
  std::vector<std::string> plan;
};

/// How the installer reads a text file of the package: conf.ini by the
/// profile functions, the templates and gdb.txt line by line.
enum class TextKind { Conf, Template, Gdb };

/// The three bytes of the UTF-8 byte order mark.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

/// Where the walk over conf.ini's lines stands.
struct ConfWalk {
  const char* section = nullptr;  ///< the known section being read; null before any or in one never read
  bool beforeAny = true;
  std::map<std::string, int> firstSection, firstKey;  ///< folded names, with their first lines
};

class PackageChecker {
 public:
  PackageChecker(const CheckRequest& request, CheckReport& report) : request_(request), report_(report) {}
  void Run();

 private:
  // conf_check.cpp
  /// conf.ini as the installer's start-up reads it, by the reader that
  /// answers as Windows does on every system.
  void ReadConf();
  void CheckConfIni();
  void CheckConfLines(const std::vector<IniLine>& lines);
  void CheckConfSection(const IniLine& line, ConfWalk& walk);
  void CheckConfKey(const IniLine& line, ConfWalk& walk);
  void CheckConfValues(const IniText& ini);
  void CheckSplash(const IniText& ini);
  void CheckVersionNames(const IniText& ini);

  // text_check.cpp
  /// Says what a byte order mark, UTF-8 letters and lines ended by CR alone
  /// make of a file; false when it is UTF-16, whose lines are not worth
  /// following one by one.
  bool CheckFileText(const std::string& file, const std::string& bytes, TextKind kind);
  /// True when the file starts with a mark (said).
  bool CheckByteOrderMark(const std::string& file, const std::string& bytes, TextKind kind);

  // package_check.cpp
  /// What players get beside the package's own files.
  void CheckPackageFolder();
  void LocateGame();
  bool PrepareRun(VersionRun& run);
  /// The template player as the Install handler gets it: the one given, a
  /// stand-in when none is, nothing when NewPlayer is off.
  std::string TemplatePlayer() const;
  void CheckCommands();
  void CheckVersion(const std::string& version);
  void CheckNewConfig(VersionRun& run);
  void CheckShortcut(VersionRun& run);

  // template_check.cpp
  /// False when a placeholder of the text is unknown or unclosed (said).
  bool CheckPlaceholders(const std::string& file, int line, const std::string& text, bool beforeGameConfig);
  /// Expands as the installer does, once the game is known, and says so
  /// when a placeholder that a value brought in is left.
  void Expand(InstallerApp& app, bool ready, bool clean, const std::string& file, int line, std::string& text);
  void CheckDirectories(VersionRun& run);
  void CheckPlayer(VersionRun& run);
  void CheckCopies(VersionRun& run);
  /// One line of files.txt; true when it is a copy the plan lists.
  bool CheckCopyLine(VersionRun& run, const TemplateLine& line, unsigned long long& size);
  void CheckCopySource(const VersionRun& run, int number, const std::string& source, unsigned long long& size);
  /// A copy onto a file the game already has.
  void CheckReplacedFile(VersionRun& run, int number, const std::string& destination);
  void MissingTemplate(const VersionRun& run, const std::string& file, const char* message);

  // gdb_check.cpp
  void CheckGameDatabase(VersionRun& run);
  /// The end of gdb.txt inside a block: said at the last block opened, a
  /// circuit's entry within the section or the section itself
  /// (text_check.cpp). `entries` are the circuits read, with their lines.
  void UnclosedBlock(const std::string& file, const std::pair<std::string, int>& section, int itemLine,
                     const std::vector<std::pair<std::string, int>>& entries, const std::string& stops);
  /// What the reader drops from a file; the game's file (`gameFile`) also
  /// has its comments counted, which its rewrite loses.
  void ReportGdbDrops(const std::string& file, const GdbDropFinder& found, bool gameFile);
  void ReportGdbFailure(const std::string& file, GdbError error, const GdbDropFinder& found);
  void CheckMerge(VersionRun& run, const GameDatabase& source, const GdbDropFinder& sourceFound);

  // Paths: a key compares two spellings of one place; Show writes a path
  // for the person reading the report.
  std::string Key(const std::string& path) const;
  std::string Show(const std::string& path) const;
  /// The folder a path lies in; the package folder for a bare name.
  std::string Parent(const std::string& path) const;
  bool FolderExists(const std::string& path, const VersionRun& run) const;
  bool IsInsideGame(const std::string& path, const VersionRun& run) const;

  void Error(const std::string& file, int line, const std::string& text) {
    report_.Add(file, line, Severity::Error, text);
  }
  void Warning(const std::string& file, int line, const std::string& text) {
    report_.Add(file, line, Severity::Warning, text);
  }

  const CheckRequest& request_;
  CheckReport& report_;
  SilentInteraction confUi_;
  InstallerApp conf_{confUi_};  ///< conf.ini as the installer reads it at start-up
  std::string confBytes_;       ///< conf.ini as it is on disk
  IniText confIni_{""};         ///< and as the profile functions read it
  bool hasConf_ = false;
  bool confStopped_ = false;    ///< reading stopped at a missing ConfigName
  bool hasGame_ = false;
  std::set<std::string> storeNotes_;  ///< the VirtualStore copies noted
  std::string gameExe_, gameConfig_, player_;
  std::vector<std::string> versions_;  ///< the versions to check; "" for a package without any
  std::vector<std::pair<long, int>> versionLines_;  ///< number and line of each "Version%d" key read
  std::string prePlan_, postPlan_;     ///< the commands, as the plan shows them
};

/// "`a`, `b` and `c`".
std::string NameList(const std::vector<std::string>& names);

}  // namespace trilo
