#include "install/installer_app.h"
#include "platform/process.h"
#include "platform/stop_request.h"

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

bool InstallerApp::StopAsked() {
  if (StopRequested()) CutShort = true;
  return CutShort;
}

bool InstallerApp::RunInstallSequence(InstallProgress& progress) {
  PartlyInstalled = false;
  CutShort = false;
  // Asked before each step and after the last: a stop asked for during a
  // step is seen at its end.
  if (StopAsked()) return false;
  // The commands are expanded in place: what ran is what the settings hold.
  if (!Settings.PreInstall.empty()) {
    ExpandPathVariables(Settings.PreInstall);
    if (!StartCommand(UI, Settings.PreInstall, State.TOPDIR)) return false;
  }
  if (StopAsked() || !ReadOldGameConfig()) return false;
  if (StopAsked() || (Settings.NewConfig && !WriteNewGameConfig())) return false;
  if (StopAsked() || !CreateTemplateDirectories()) return false;
  if (StopAsked() || (Settings.NewPlayer && !CreatePlayerProfile())) return false;
  if (StopAsked() || !CopyTemplateFiles(progress)) return false;
  if (StopAsked() || (Settings.GDB && !MergeGameDatabase())) return false;
  if (StopAsked() || (Settings.NewShortcut && !CreateShortcut())) return false;
  if (StopAsked()) return false;
  if (!Settings.PostInstall.empty()) {
    ExpandPathVariables(Settings.PostInstall);
    if (!StartCommand(UI, Settings.PostInstall, State.TOPDIR)) return false;
  }
  return true;
}

}  // namespace trilo
