#include "check/package_check.h"

#include <algorithm>

#include "check_context.h"
#include "formats/command_line.h"
#include "install/interface_text.h"
#include "platform/filesystem.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/user_path.h"
#include "text/code_page.h"
#include "text/text_util.h"

namespace trilo {

namespace {

const char kConf[] = "conf.ini";
const char kSetupExe[] = "trilo-setup.exe";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Where the last separator stands, stepping over double-byte characters.
size_t LastSeparator(const std::string& path) {
  const CodePage cp = ActiveCodePage();
  const size_t back = FindLastChar(path, '\\', cp);
  const size_t slash = FindLastChar(path, '/', cp);
  if (back == std::string::npos) return slash;
  if (slash == std::string::npos) return back;
  return std::max(back, slash);
}

}  // namespace

std::string NameList(const std::vector<std::string>& names) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += i + 1 == names.size() ? " and " : ", ";
    out += "`" + names[i] + "`";
  }
  return out;
}

// ---------------------------------------------------------------------------
// Paths.

std::string PackageChecker::Key(const std::string& path) const {
  const bool absolute = (!path.empty() && IsSeparator(path[0])) || (path.size() > 1 && path[1] == ':');
  std::string key = ResolveDotSteps(absolute ? path : conf_.WorkingDir + path);
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  // Both systems find a name in any case: Windows always, the POSIX side
  // when the exact spelling is not there.
  return FoldCase(key);
}

std::string PackageChecker::Show(const std::string& path) const {
  return HasUnexpandedPlaceholder(path) ? path : PathForUser(path);
}

std::string PackageChecker::Parent(const std::string& path) const {
  std::string trimmed = path;
  while (trimmed.size() > 1 && IsSeparator(trimmed.back())) trimmed.pop_back();
  const size_t sep = LastSeparator(trimmed);
  if (sep == std::string::npos) return conf_.WorkingDir;
  std::string parent = trimmed.substr(0, sep);
  if (parent.empty() || parent.back() == ':') parent += "\\";
  return parent;
}

bool PackageChecker::FolderExists(const std::string& path, const VersionRun& run) const {
  return GetFileStatus(path).folder || run.folders.count(Key(path)) > 0;
}

bool PackageChecker::IsInsideGame(const std::string& path, const VersionRun& run) const {
  const std::string game = Key(run.app.State.TOPDIR) + "\\";
  const std::string key = Key(path);
  return key.compare(0, game.size(), game) == 0;
}

// ---------------------------------------------------------------------------
// The run.

void PackageChecker::Run() {
  if (!GetFileStatus(request_.packageDir).folder || !SetCurrentFolder(request_.packageDir)) {
    Error(Show(request_.packageDir), 0, "not a folder");
    return;
  }
  ReadConf();
  CheckConfIni();

  const std::vector<std::string>& listed = conf_.Settings.VersionList;
  if (listed.empty()) {
    versions_ = {""};
    if (request_.hasVersion && !request_.version.empty())
      Warning(kConf, 0, "no versions are listed, so version `" + request_.version +
                            "` is never asked for: the plain templates are read");
  } else if (request_.hasVersion) {
    versions_ = {request_.version};
    if (std::find(listed.begin(), listed.end(), request_.version) == listed.end())
      Warning(kConf, 0, "version `" + request_.version + "` is not listed (the versions are " + NameList(listed) +
                            "): its templates are checked all the same");
  } else {
    versions_ = listed;
  }
  if (!listed.empty()) {
    for (const char* plain : {"dirs.txt", "files.txt", "gdb.txt"})
      if (PathExists(plain))
        Warning(plain, 0, "never read: with versions listed, each reads its own, such as `" + listed.front() + "." +
                              plain + "`");
  }

  CheckPackageFolder();
  LocateGame();
  CheckCommands();
  for (const std::string& version : versions_) CheckVersion(version);
}

void PackageChecker::CheckPackageFolder() {
  // Not counted: the template and a package in the making lack it too.
  if (!PathExists(kSetupExe))
    report_.Note("the package folder has no " + std::string(kSetupExe) + ": players would have nothing to start; put it in "
                 "before you ship the package");
  if (PathExists("log.txt"))
    Warning("log.txt", 0, "left from an install: players would see its old list of failed copies (each install adds "
                          "to it); delete it before you ship the package");
  if (PathExists("trilo-check.exe"))
    Warning("trilo-check.exe", 0, "players would see it beside " + std::string(kSetupExe) +
                                  " and may start it instead; leave it out of the package");
}

void PackageChecker::LocateGame() {
  gameExe_ = request_.gameExe;
  gameConfig_ = request_.gameConfig;
  player_ = request_.player;
  const std::string pattern =
      conf_.Settings.ConfigPattern.empty() ? std::string(TXT_DEFAULT_CONFIG_PATTERN) : conf_.Settings.ConfigPattern;
  const std::string skipped =
      request_.dryRun ? "the checks against the game and the plan were skipped" : "the checks against the game were skipped";

  std::string folder;
  if (gameExe_.empty() && request_.findGame && QueryGameInstallDir(folder)) {
    // Joined as the installer joins them: a folder ending in "\" gets a second one.
    gameExe_ = folder + "\\" TXT_GAME_EXE_NAME;
    if (gameConfig_.empty()) gameConfig_ = folder + "\\" + pattern;
  }
  if (gameExe_.empty()) {
    report_.Note("no game given (--game-exe) or found in the registry: " + skipped);
    return;
  }
  if (gameConfig_.empty()) {
    const size_t sep = LastSeparator(gameExe_);
    gameConfig_ = (sep == std::string::npos ? std::string() : gameExe_.substr(0, sep + 1)) + pattern;
  }
  for (const std::string& path : {gameExe_, gameConfig_}) {
    if (!PathExists(path)) {
      report_.Note("the game's file `" + Show(path) + "` does not exist: " + skipped);
      return;
    }
  }
  if (conf_.Settings.NewPlayer && player_.empty())
    report_.Note("no player file given (--player): `${PLAYERNAME}` is taken as `Player`");

  VersionRun probe(versions_.front());
  if (!PrepareRun(probe)) {
    report_.Note("the game's configuration lacks a folder entry: " + skipped);
    return;
  }
  hasGame_ = true;
}

std::string PackageChecker::TemplatePlayer() const {
  if (!conf_.Settings.NewPlayer) return std::string();
  return player_.empty() ? std::string("Player.PLR") : player_;
}

bool PackageChecker::PrepareRun(VersionRun& run) {
  InstallerApp& app = run.app;
  app.WorkingDir = conf_.WorkingDir;
  app.Settings = conf_.Settings;
  app.State.SelectedVersion = run.version;
  std::string exe = gameExe_, config = gameConfig_;
  if (!app.DeriveInstallState(exe, config, TemplatePlayer())) return false;
  if (!app.ReadOldGameConfig()) {
    for (const GameDirEntry& entry : kGameDirEntries) {
      if (!(app.State.*entry.oldValue).empty()) continue;
      Error(Show(gameConfig_), 0, std::string("[COMPONENTS] has no ") + entry.key +
                                      ", or it is empty: the install would stop with \"Couldn't get " + entry.key +
                                      " from existing config file\"");
      break;
    }
    return false;
  }
  run.ready = true;
  return true;
}

void PackageChecker::CheckCommands() {
  const InstallSettings& s = conf_.Settings;
  if (s.PreInstall.empty() && s.PostInstall.empty()) return;
  const IniText& ini = confIni_;

  // The commands are the same for every version; only the game's values
  // change what they say. The pre-install command runs before the game's
  // configuration is read, so its OLD placeholders are still empty.
  VersionRun run(versions_.front());
  InstallerApp& app = run.app;
  app.WorkingDir = conf_.WorkingDir;
  app.Settings = s;
  app.State.SelectedVersion = run.version;
  std::string exe = gameExe_, config = gameConfig_;
  const bool ready = hasGame_ && app.DeriveInstallState(exe, config, TemplatePlayer());

  auto check = [&](const char* key, std::string command, bool before, const char* consequence, std::string& plan) {
    if (command.empty()) return;
    const int line = ini.LineOf(kInstallSection, key);
    const bool clean = CheckPlaceholders(kConf, line, command, before);
    Expand(app, ready, clean, kConf, line, command);
    const std::string word = SplitCommandLine(command)[0];
    if (word.empty()) {
      Error(kConf, line, std::string(key) + " names no program: " + consequence);
      return;
    }
    if (HasUnexpandedPlaceholder(word)) return;
    std::string program;
    if (!FindCommandProgram(command, program)) {
      Error(kConf, line, std::string(key) + ": no program `" + word +
                             "` is found in the package folder or along the search path: " + consequence);
      return;
    }
    plan = std::string("  ") + key + " runs " + Show(program) + ": " + command;
  };
  check("PreInstall", s.PreInstall, true, "the install would stop before its first step", prePlan_);
  if (ready) app.ReadOldGameConfig();
  check("PostInstall", s.PostInstall, false, "the install would end with \"" TXT_INSTALL_FAILED "\"", postPlan_);
}

void PackageChecker::CheckVersion(const std::string& version) {
  VersionRun run(version);
  // A name too long for its templates is said on conf.ini.
  if (!FormTemplateName(version, "files.txt", run.filesName)) return;
  FormTemplateName(version, "dirs.txt", run.dirsName);
  FormTemplateName(version, "gdb.txt", run.gdbName);
  if (hasGame_) PrepareRun(run);
  for (const std::string* file : {&run.dirsName, &run.filesName, &run.gdbName}) {
    std::string bytes;
    if ((file != &run.gdbName || conf_.Settings.GDB) && ReadWholeFile(*file, bytes) &&
        !CheckFileText(*file, bytes, file == &run.gdbName ? TextKind::Gdb : TextKind::Template))
      run.garbled.insert(*file);
  }

  // In the order of the install sequence.
  if (!prePlan_.empty()) run.plan.push_back(prePlan_);
  CheckNewConfig(run);
  CheckDirectories(run);
  CheckPlayer(run);
  CheckCopies(run);
  CheckGameDatabase(run);
  CheckShortcut(run);
  if (!postPlan_.empty()) run.plan.push_back(postPlan_);
  // A note, not a finding: the package is not at fault.
  for (const std::string& copy : run.app.VirtualStoreReads)
    if (storeNotes_.insert(copy).second) report_.Note("read the VirtualStore copy `" + Show(copy) + "`, as the game does");

  if (!request_.dryRun || !run.ready) return;
  const std::string title = version.empty() ? "Plan of the install" : "Plan of version " + version;
  report_.plan.push_back(title + " into " + Show(run.app.State.TOPDIR) + " (nothing is written):");
  report_.plan.insert(report_.plan.end(), run.plan.begin(), run.plan.end());
}

void PackageChecker::CheckNewConfig(VersionRun& run) {
  const InstallSettings& s = run.app.Settings;
  const InstallState& st = run.app.State;
  if (!s.NewConfig || confStopped_ || !run.ready) return;
  const int line = confIni_.LineOf(kConfigSection, "ConfigName");
  const std::string target = st.TOPDIR + s.ConfigName;
  // Written before dirs.txt makes any folder: its folder must be the game's.
  const char* stops = ": the install would stop with \"Error creating new config file\"";
  if (Key(target) == Key(st.OldConfigPath))
    Error(kConf, line, "`ConfigName` names the game's own configuration file `" + Show(target) + "`" + stops);
  else if (GetFileStatus(target).folder || !GetFileStatus(Parent(target)).folder)
    Error(kConf, line, "the new configuration `" + Show(target) + "` has no folder to go in" + stops);
  run.plan.push_back("  new configuration  " + Show(target) + "  from  " + Show(st.OldConfigPath));
  const std::string newSeason = st.TOPDIR + s.SeasonDir, oldSeason = st.TOPDIR + st.OLDSEASONDIR;
  if (s.GDB && Key(newSeason) != Key(oldSeason))
    Warning(kConf, confIni_.LineOf(kConfigSection, "SeasonDir"),
            "GDB is on, but the new configuration's season folder `" + Show(newSeason) + "` is not the game's `" +
                Show(oldSeason) + "`: the merge puts the circuits into `" + Show(oldSeason + "game.gdb") +
                "`, which the new configuration does not read; for a season of its own, copy a whole game.gdb "
                "into its folder with files.txt and turn GDB off");
  for (const GameDirEntry& entry : kGameDirEntries)
    run.plan.push_back(std::string("    ") + entry.key + "=" + s.*entry.newValue);
}

void PackageChecker::CheckShortcut(VersionRun& run) {
  const InstallSettings& s = run.app.Settings;
  const InstallState& st = run.app.State;
  if (!s.NewShortcut || confStopped_ || !run.ready) return;
  const std::string icon = st.TOPDIR + s.IconFile;
  if (!s.IconFile.empty() && !GetFileStatus(icon).exists && !run.copies.count(Key(icon)))
    Warning(kConf, confIni_.LineOf(kShortcutSection, "IconFile"),
            "the shortcut's icon `" + Show(icon) + "` is neither in the game nor copied there by " + run.filesName);
  run.plan.push_back("  shortcut           " + Show(st.TOPDIR + s.Desc + ".lnk") + "  starts " +
                     Show(st.GameExePath) + " with \" config=" + s.ConfigName + "\"");
}

CheckReport CheckPackage(const CheckRequest& request) {
  CheckReport report;
  const std::string saved = GetCurrentFolder();
  {
    PackageChecker checker(request, report);
    checker.Run();
  }
  SetCurrentFolder(saved);
  report.codePage = ActiveCodePage().Id();
  report.Sort();
  return report;
}

}  // namespace trilo
