#pragma once
#include <functional>
#include <string>

#include "install/access_check.h"
#include "install/installer_app.h"
#include "platform/game_lock.h"
#include "install/undo.h"

namespace trilo {

/// The three path fields of the main window: filled by LocateGameFiles,
/// read (and the first two possibly cleared) by the Install handler.
struct PathFields {
  std::string gameExe;
  std::string gameConfig;
  std::string templatePlayer;
};

/// The registry lookup, the Locate File questions for the game executable,
/// the version choice, the game configuration and (with NewPlayer) the
/// template player, in that order.
void LocateGameFiles(InstallerApp& app, PathFields& fields);

/// The player files a template may be taken from: the ".PLR" files in each
/// player folder of the game's save folder (the game folder, as the
/// executable's path gives it, and the SAVEDIR of the configuration file),
/// sorted; none when the configuration names no save folder.
std::vector<std::string> FindPlayerFiles(const std::string& gameExe, const std::string& gameConfig);

enum class InstallResult {
  OptionsError,  ///< checks failed: the options error was shown and the files located again
  Installed,     ///< the sequence ran to its end; "Install Complete." was shown
  /// The sequence ran to its end past faults it reported (failed copies, a
  /// shortcut not saved); "Install Complete." was shown all the same.
  InstalledPartly,
  Failed,        ///< a step failed, or a folder refused; "Install Failed." was shown
  /// "Install Cancelled." was shown, nothing changed: the restart with
  /// administrator rights was declined, `goAhead` said no, or a stop was
  /// asked for (Ctrl-C) before anything changed
  Cancelled,
  Restarted,     ///< the installer ran again with administrator rights, and did the install
  /// A stop was asked for after the install changed the game: it stopped
  /// between two changes, its record closed as cut short; no notice shown.
  CutShort,
};

/// What the second of two installs or undos of one game is told.
extern const char kGameBusy[];  ///< "Another install or undo is running on this game."

/// The Install handler. `beginInstall` is called once the checks passed,
/// right before the sequence runs (the window disables its buttons there).
/// `restart`, where the front end can restart the installer with
/// administrator rights, is offered when a folder refuses for want of them.
/// The game is locked for the whole install: a game another install or
/// undo holds is refused before anything changes.
/// `goAhead`, when given, is asked under the lock, right before
/// `beginInstall` and the pre-install command: false cancels the install
/// with nothing changed.
InstallResult HandleInstall(InstallerApp& app, PathFields& fields, InstallProgress& progress,
                            const std::function<void()>& beginInstall, const RestartElevated& restart = nullptr,
                            const std::function<bool()>& goAhead = nullptr);

/// The Cancel handler: shows "Install Cancelled.".
void HandleCancel(InstallerApp& app);

/// How an undo ended; Incomplete: it left files changed since the install,
/// and its record stays for a later undo to finish; Restarted: an installer
/// with administrator rights took it over.
enum class UndoResult { Undone, Failed, Cancelled, Incomplete, Restarted };

/// An undo decided on and confirmed. The plan points into `records`: a job
/// is filled in place and not copied.
struct UndoJob {
  std::string gameFolder;
  GameLock lock;  ///< held from the plan to the end of the undo
  std::vector<InstalledRecord> records;
  UndoPlan plan;
};

/// Finds the game as an install does, picks the record `name` names ("last"
/// for the newest), refuses one that a later install also changed, and asks
/// whether to undo it. Undone means confirmed: RunUndoJob goes on. Anything
/// else has been told, the cancelled notice included. The folders the undo
/// changes are probed before the question; `restart` as for HandleInstall.
UndoResult PrepareUndo(InstallerApp& app, const std::string& name, bool force, UndoJob& job,
                       const RestartElevated& restart = nullptr);

/// Runs a confirmed undo, tells what it left as it was and why it failed,
/// and shows the closing notice.
UndoResult RunUndoJob(InstallerApp& app, const UndoJob& job, InstallProgress& progress);

}  // namespace trilo
