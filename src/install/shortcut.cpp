#include "install/install_record.h"
#include "install/installer_app.h"
#include "platform/shell_link.h"

namespace trilo {

bool InstallerApp::CreateShortcut() {
  InitComponentLibrary();
  EnterWorkingDir();

  // The shortcut lies in the game folder, named after its description, and
  // starts the game with the configuration written for this package.
  const std::string linkPath = State.TOPDIR + Settings.Desc + ".lnk";
  const std::string arguments = GameArguments();
  const std::string iconPath = State.TOPDIR + Settings.IconFile;
  // The system writes the shortcut itself: the record learns its bytes after.
  std::string temporary;
  if (Status listed = Record->NewTemporary(linkPath, temporary); !listed) return ShowRecordFailure(listed);
  RecordedChange change = Record->BeforeWrite(linkPath, nullptr);
  if (!change.Recorded()) return ShowRecordFailure(change.Recorded());
  std::vector<std::string> unset;
  const Status saved =
      WriteShellLink(State.GameExePath, linkPath, State.TOPDIR, arguments, iconPath, Settings.Desc, unset, temporary);
  change.Settle(saved.Ok());
  for (const std::string& message : unset) UI.ShowMessage(message);

  // A shortcut that could not be written is reported; the install goes on,
  // short of its shortcut.
  if (!saved) {
    UI.ShowMessage("Save failed!");
    PartlyInstalled = true;
  }
  return true;
}

}  // namespace trilo
