// trilo-setup: the installer in a terminal, interactive or unattended.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "install/game_database_file.h"
#include "install/install_flow.h"
#include "install/install_record.h"
#include "install/installer_app.h"
#include "install/interface_text.h"
#include "platform/filesystem.h"
#include "platform/registry.h"
#include "platform/stop_request.h"
#include "platform/user_path.h"
#include "options.h"
#include "terminal_interaction.h"
#include "terminal_progress.h"
#include "trilo_version.h"

using namespace trilo;

namespace {

enum ExitCode {
  kInstalled = 0,
  kFailed = 1,
  kCancelled = 2,
  kOptionsError = 3,
  kPartlyInstalled = 4,
  kCutShort = 5,
  kUsage = 64
};

std::string Summary(const InstallerApp& app, const PathFields& fields) {
  auto show = [](const std::string& core) { return core.empty() ? std::string("(none)") : PathForUser(core); };
  std::string s = "Package:         " + PathForUser(app.WorkingDir) + "\n";
  s += "Game executable: " + show(fields.gameExe) + "\n";
  s += "Game config:     " + show(fields.gameConfig) + "\n";
  if (app.Settings.NewPlayer) s += "Template player: " + show(fields.templatePlayer) + "\n";
  if (!app.Settings.VersionList.empty())
    s += "Version:         " + (app.State.SelectedVersion.empty() ? "(none)" : TextForUser(app.State.SelectedVersion)) +
         "\n";
  return s;
}

// Arguments come in UTF-8, as a terminal passes them; the core speaks the
// code page. False when one cannot be written there.
bool ArgumentsInCodePage(TermOptions& o) {
  std::string converted;
  for (std::string* path : {&o.gameExe, &o.config, &o.player}) {
    if (!PathFromUser(*path, converted)) return false;
    *path = converted;
  }
  if (!TextFromUser(o.packageVersion, converted)) return false;
  o.packageVersion = converted;
  return true;
}

// The records of the game that --game-exe names, else the registry's; the
// list never asks.
int ListInstalls(const TermOptions& options) {
  std::string exe, folder;
  if (options.hasGameExe) exe = options.gameExe;
  else if (QueryGameInstallDir(folder)) exe = folder + "\\" TXT_GAME_EXE_NAME;
  if (exe.empty() || !PathExists(exe)) {
    std::cerr << "trilo-setup: the game was not found; name its executable with --game-exe\n";
    return kFailed;
  }
  const std::string game = GameFolderOf(exe, GetCurrentFolder() + "\\");
  const std::vector<InstalledRecord> records = ListInstalledRecords(game);
  if (records.empty()) std::cout << "No install is recorded in " << PathForUser(game) << "\n";
  else std::cout << InstalledRecordsText(records);
  return 0;
}

// "11", "11 and 13", "11, 13, 20, 25, 30 and 3 more".
std::string LineList(const std::vector<int>& lines) {
  constexpr std::size_t kShown = 5;
  std::string text;
  const std::size_t shown = std::min(lines.size(), kShown);
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) text += i + 1 == shown && lines.size() <= kShown ? " and " : ", ";
    text += std::to_string(lines[i]);
  }
  if (lines.size() > kShown) text += " and " + std::to_string(lines.size() - kShown) + " more";
  return text;
}

// Before the pre-install command: what the rewrite of the game's database
// will lose, and whether to go on all the same.
bool GoOnDespiteDrops(const InstallerApp& app, TerminalInteraction& ui) {
  const MergeDrops drops = FindMergeDrops(app);
  if (drops.lines.empty()) return true;
  const std::size_t n = drops.lines.size();
  std::cerr << "trilo-setup: warning: the install rewrites " << PathForUser(drops.database) << " and drops " << n
            << (n == 1 ? " item" : " items")
            << " of it that the installer does not keep (value lines, settings blocks or sections: trilo-check names each), at "
            << (n == 1 ? "line " : "lines ") << LineList(drops.lines)
            << ". The install record keeps the whole file: trilo-setup --undo restores it.\n";
  return ui.AskGoOn("Go on with the install?");
}

int Undo(InstallerApp& app, const TermOptions& options) {
  app.WorkingDir = GetCurrentFolder() + "\\";
  UndoJob job;
  switch (PrepareUndo(app, options.undoName, options.force, job)) {
    case UndoResult::Cancelled: return kCancelled;
    case UndoResult::Failed:
    case UndoResult::Restarted: return kFailed;  // the terminal never restarts itself
    case UndoResult::Undone:
    case UndoResult::Incomplete: break;
  }
  std::cout << "Undoing...\n";
  TerminalProgress progress("Undone");
  switch (RunUndoJob(app, job, progress)) {
    case UndoResult::Undone: return 0;
    case UndoResult::Incomplete: return kPartlyInstalled;  // done, but not all of it
    default: return kFailed;
  }
}

// A version the package does not have would fail only once the install has
// begun changing the game: it is told with the list before anything runs.
// The name takes the list's spelling.
bool KnownVersion(const InstallerApp& app, TermOptions& options) {
  const std::vector<std::string>& versions = app.Settings.VersionList;
  if (!options.hasVersion || versions.empty()) return true;
  const int found = FindVersion(versions, options.packageVersion);
  if (found < 0) {
    std::cerr << "trilo-setup: the package has no version " << TextForUser(options.packageVersion)
              << ". Its versions are:\n"
              << VersionsText(versions);
    return false;
  }
  options.packageVersion = versions[static_cast<size_t>(found)];
  return true;
}

// The exit status of an install that ran, with what the terminal adds to
// its closing notice.
int Ended(const InstallerApp& app, InstallResult result) {
  switch (result) {
    case InstallResult::Installed:
    case InstallResult::InstalledPartly:
      // No start menu here: say how the shortcut would start the game.
      if (app.Settings.NewConfig)
        std::cout << "To play with the new configuration: "
                  << WineCommandLine(app.State.GameExePath, app.GameArguments(), app.State.TOPDIR) << "\n";
      return result == InstallResult::Installed ? kInstalled : kPartlyInstalled;
    case InstallResult::Cancelled: return kCancelled;
    case InstallResult::CutShort:
      std::cout << "Install cut short. trilo-setup --undo takes back what it did." << std::endl;
      return kCutShort;
    case InstallResult::OptionsError: return kOptionsError;
    case InstallResult::Failed:
    case InstallResult::Restarted: break;  // the terminal never restarts itself
  }
  return kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  // The line editor reads its prompt in the locale's characters, and so is
  // everything shown: the core's code page is converted to them.
  FollowLocaleCharset();
  // Ctrl-C cancels a question, and stops an install between two changes.
  CatchStopRequests();
  TermOptions options;
  std::string error;
  if (!ParseTermOptions(argc, argv, options, error)) {
    std::cerr << "trilo-setup: " << error << "\n\n" << kTermUsage;
    return kUsage;
  }
  if (options.help) {
    std::cout << kTermUsage;
    return 0;
  }
  if (options.version) {
    std::cout << "trilo-setup " << TRILO_VERSION << "\n";
    return 0;
  }
  if (options.codePage && !UseCodePage(options.codePage)) {
    std::cerr << "trilo-setup: code page " << options.codePage << " is not known to this system\n";
    return kUsage;
  }
  if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) {
    std::cerr << "trilo-setup: cannot change into " << options.directory << ": " << std::strerror(errno) << "\n";
    return kUsage;
  }
  // Windows would fail on such names; so do we, before anything is done.
  if (!ArgumentsInCodePage(options) || GetCurrentFolder().empty()) {
    TellRefusals();
    std::cerr << "trilo-setup: choose the code page of the package's names with --code-page\n";
    return kUsage;
  }

  if (options.listInstalls) return ListInstalls(options);
  TerminalInteraction ui(options);
  InstallerApp app(ui);
  if (options.undo) return Undo(app, options);
  if (!HoldsPackage(GetCurrentFolder())) {
    // Said before any question: nothing could be installed from here.
    const std::string folder = PathForUser(GetCurrentFolder());
    std::fprintf(stderr, TXT_NO_PACKAGE "\n", "trilo-setup", folder.c_str(), "trilo-setup");
    return kFailed;
  }
  app.StartUp();
  if (!KnownVersion(app, options)) return kOptionsError;
  if (ui.Interactive() && !app.Settings.Title.empty()) std::cout << TextForUser(app.Settings.Title) << "\n";
  if (app.Settings.SplashOn && !app.Settings.SplashImg.empty())
    ui.ShowSplash(app.Settings.SplashImg, app.Settings.SplashDelay);

  PathFields fields;
  LocateGameFiles(app, fields);
  TerminalProgress progress;
  for (;;) {
    // Ctrl-C at any question is Cancel: the questions after it were not asked.
    if (StopRequested() || !ui.ConfirmInstall(Summary(app, fields))) {
      HandleCancel(app);
      return kCancelled;
    }
    InstallResult result = HandleInstall(
        app, fields, progress, [] { std::cout << "Installing...\n"; }, nullptr,
        [&] { return GoOnDespiteDrops(app, ui); });
    TellRefusals();
    if (result != InstallResult::OptionsError) return Ended(app, result);
    if (!ui.Interactive()) return kOptionsError;
    // The files were located again: ask once more.
  }
}
