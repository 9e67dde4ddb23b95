// trilo-setup: the installer in a terminal, interactive or unattended.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "install/install_flow.h"
#include "install/installer_app.h"
#include "platform/user_path.h"
#include "options.h"
#include "terminal_interaction.h"
#include "terminal_progress.h"
#include "trilo_version.h"

using namespace trilo;

namespace {

enum ExitCode { kInstalled = 0, kFailed = 1, kCancelled = 2, kOptionsError = 3, kUsage = 64 };

std::string Summary(const InstallerApp& app, const PathFields& fields) {
  auto show = [](const std::string& core) { return core.empty() ? std::string("(none)") : PathForUser(core); };
  std::string s = "Package:         " + PathForUser(app.WorkingDir) + "\n";
  s += "Game executable: " + show(fields.gameExe) + "\n";
  s += "Game config:     " + show(fields.gameConfig) + "\n";
  if (app.Settings.NewPlayer) s += "Template player: " + show(fields.templatePlayer) + "\n";
  if (!app.Settings.VersionList.empty())
    s += "Version:         " + (app.State.SelectedVersion.empty() ? "(none)" : app.State.SelectedVersion) + "\n";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
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
  if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) {
    std::cerr << "trilo-setup: cannot change into " << options.directory << ": " << std::strerror(errno) << "\n";
    return kUsage;
  }

  TerminalInteraction ui(options);
  InstallerApp app(ui);
  app.StartUp();
  if (ui.Interactive() && !app.Settings.Title.empty()) std::cout << app.Settings.Title << "\n";
  if (app.Settings.SplashOn && !app.Settings.SplashImg.empty())
    ui.ShowSplash(app.Settings.SplashImg, app.Settings.SplashDelay);

  PathFields fields;
  LocateGameFiles(app, fields);
  TerminalProgress progress;
  for (;;) {
    if (!ui.ConfirmInstall(Summary(app, fields))) {
      HandleCancel(app);
      return kCancelled;
    }
    InstallResult result = HandleInstall(app, fields, progress, [] { std::cout << "Installing...\n"; });
    switch (result) {
      case InstallResult::Installed: return kInstalled;
      case InstallResult::Failed: return kFailed;
      case InstallResult::OptionsError:
        if (!ui.Interactive()) return kOptionsError;
        break;  // the files were located again: ask once more
    }
  }
}
