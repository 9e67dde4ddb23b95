#include "install/installer_app.h"
#include "platform/process.h"

namespace trilo {

bool InstallerApp::RunInstallSequence(InstallProgress& progress) {
  PartlyInstalled = false;
  // The commands are expanded in place: what ran is what the settings hold.
  if (!Settings.PreInstall.empty()) {
    ExpandPathVariables(Settings.PreInstall);
    if (!RunCommand(Settings.PreInstall, State.TOPDIR)) return false;
  }
  if (!ReadOldGameConfig()) return false;
  if (Settings.NewConfig && !WriteNewGameConfig()) return false;
  if (!CreateTemplateDirectories()) return false;
  if (Settings.NewPlayer && !CreatePlayerProfile()) return false;
  if (!CopyTemplateFiles(progress)) return false;
  if (Settings.GDB && !MergeGameDatabase()) return false;
  if (Settings.NewShortcut && !CreateShortcut()) return false;
  if (!Settings.PostInstall.empty()) {
    ExpandPathVariables(Settings.PostInstall);
    if (!RunCommand(Settings.PostInstall, State.TOPDIR)) return false;
  }
  return true;
}

}  // namespace trilo
