#pragma once
#include <functional>
#include <string>
#include <vector>

#include "install/installer_app.h"
#include "install/undo.h"
#include "platform/status.h"

// Write access known before anything runs: the folders an install or an
// undo will change are probed before its first change, and a refusal is
// told at once, with the system's reason, instead of half-way through.

namespace trilo {

/// The folders an install with these answers changes, each ending in "\":
/// the game folder and, with GDB, the folder of game.gdb, whose SEASONDIR
/// is read from the game configuration here, read only.
std::vector<std::string> InstallFolders(const InstallerApp& app, const std::string& gameExe,
                                        const std::string& gameConfig);

/// The folders an undo changes: the game folder (its records) and the
/// folder of every file it puts back or removes.
std::vector<std::string> UndoFolders(const UndoPlan& plan);

/// Probes each folder in turn: ok, or the first refusal, whose Path() is
/// the folder. A folder that does not exist is left to the step that needs
/// it, which says so in its own words.
Status ProbeFolders(const std::vector<std::string>& folders);

/// Whether administrator rights could lift a refusal: the system denied
/// access, rather than found nothing or no room.
bool RightsWouldHelp(const Status& refusal);

/// The message of a folder that refused the probe, with the system's reason.
std::string FolderRefusedMessage(const Status& refusal);

/// How the check before the first change ended.
enum class AccessVerdict {
  Writable,   ///< every folder took a file: go on
  Refused,    ///< the refusal was told, and the closing notice shown
  Cancelled,  ///< the restart was declined: the cancelled notice was shown
  Restarted,  ///< the installer ran again with administrator rights
};

/// Starts the installer again with administrator rights, on the answers
/// already given, and waits for it. A failure that is ERROR_CANCELLED
/// (1223) means the person refused the system's elevation prompt.
using RestartElevated = std::function<Status()>;

/// The check before the first change. A refusal that rights would lift,
/// where the front end can restart the installer with them (`restart`
/// given: on Windows, not elevated, not itself a restart), asks whether to;
/// Yes restarts, No or a refused elevation prompt shows `cancelled`. Any
/// other refusal shows its message with the system's reason, then `failed`.
AccessVerdict CheckFolders(InstallerApp& app, const std::vector<std::string>& folders, const std::string& gameFolder,
                           const RestartElevated& restart, Notice failed, Notice cancelled);

}  // namespace trilo
