#include "install/install_flow.h"

#include "install/interface_text.h"
#include "platform/registry.h"

namespace trilo {

void LocateGameFiles(InstallerApp& app, PathFields& fields) {
  const InstallSettings& s = app.Settings;
  std::string defaultConfig;
  std::string folder;
  if (QueryGameInstallDir(folder)) {
    // Joined unchanged: a folder that ends in "\" gets a second one.
    fields.gameExe = folder;
    if (!s.ConfigPattern.empty()) defaultConfig = folder + "\\" + s.ConfigPattern;
    fields.gameExe += "\\" TXT_GAME_EXE_NAME;
  }

  LocateRequest exe{fields.gameExe, TXT_LOCATE_GAME_EXE, TXT_EXE_FILTER, TXT_GAME_EXE_NAME, LocateKind::GameExe};
  if (app.UI.LocateFile(exe)) fields.gameExe = exe.path;

  if (s.VersionList.size() > 1) {
    std::string chosen;
    if (app.UI.ChooseVersion(s.VersionList, chosen)) app.State.SelectedVersion = chosen;
  } else if (s.VersionList.size() == 1) {
    app.State.SelectedVersion = s.VersionList.front();
  }

  LocateRequest config{defaultConfig, s.ConfigString, TXT_INI_FILTER, s.ConfigPattern,
                       LocateKind::GameConfig};
  if (app.UI.LocateFile(config)) fields.gameConfig = config.path;

  if (s.NewPlayer) {
    LocateRequest player{"", TXT_LOCATE_PLAYER, TXT_PLR_FILTER, "", LocateKind::TemplatePlayer};
    if (app.UI.LocateFile(player)) fields.templatePlayer = player.path;
  }
}

InstallResult HandleInstall(InstallerApp& app, PathFields& fields, InstallProgress& progress,
                            const std::function<void()>& beginInstall) {
  if (!app.DeriveInstallState(fields.gameExe, fields.gameConfig, fields.templatePlayer)) {
    app.UI.ShowNotice(Notice::OptionsError);
    LocateGameFiles(app, fields);
    return InstallResult::OptionsError;
  }
  if (beginInstall) beginInstall();
  // A failed step has shown its own message; the closing notice must not
  // then claim the install completed.
  bool ok = app.RunRecordedInstall(progress);
  app.UI.ShowNotice(ok ? Notice::Complete : Notice::Failed);
  return ok ? InstallResult::Installed : InstallResult::Failed;
}

void HandleCancel(InstallerApp& app) { app.UI.ShowNotice(Notice::Cancelled); }

}  // namespace trilo
