#include "install/installer_app.h"
#include "platform/process.h"

namespace trilo {

namespace {

// A command that cannot be started is named, so that the person knows what
// stopped the install rather than a bare failure notice.
bool StartCommand(Interaction& ui, const std::string& commandLine, const std::string& folder) {
  if (RunCommand(commandLine, folder)) return true;
  ui.ShowMessage("Could not start the command: " + commandLine);
  return false;
}

}  // namespace

bool InstallerApp::RunInstallSequence(InstallProgress& progress) {
  PartlyInstalled = false;
  // The commands are expanded in place: what ran is what the settings hold.
  if (!Settings.PreInstall.empty()) {
    ExpandPathVariables(Settings.PreInstall);
    if (!StartCommand(UI, Settings.PreInstall, State.TOPDIR)) return false;
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
    if (!StartCommand(UI, Settings.PostInstall, State.TOPDIR)) return false;
  }
  return true;
}

}  // namespace trilo
