#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "install/install_flow.h"
#include "install/installer_app.h"
#include "install/interaction.h"
#include "setup_options.h"

namespace trilo {
namespace win32 {

/// The main window: Install and Cancel, the progress bar and the two texts
/// of the file being copied. It is also what the core talks to: every
/// question, message and notice is shown owned by it, and the file copy
/// step drives its progress display.
class InstallDialog final : public Interaction, public InstallProgress {
 public:
  InstallDialog();
  ~InstallDialog() override;
  InstallDialog(const InstallDialog&) = delete;
  InstallDialog& operator=(const InstallDialog&) = delete;

  InstallerApp& App() { return app_; }

  /// Shows the window modally; returns when the installer is done.
  INT_PTR DoModal();

  /// What the command line asked: an undo instead of an install (/undo),
  /// the restart with administrator rights (/elevated) and its answers.
  void SetOptions(const SetupOptions& options) { options_ = options; }
  /// The terminal installer's statuses: 0 installed or undone, 1 failed,
  /// 2 cancelled, 4 installed but not everything; a restart's own status.
  int ExitCode() const { return exitCode_; }

  // Interaction.
  void ShowMessage(const std::string& text) override;
  void ShowNotice(Notice notice) override;
  bool LocateFile(LocateRequest& request) override;
  bool ChooseVersion(const std::vector<std::string>& versions, std::string& chosen) override;
  void ShowSplash(const std::string& imagePath, int delayMs) override;
  bool AskYesNo(const std::string& question, const std::string& details) override;

  // InstallProgress.
  void SetRange(int count) override;
  void ShowSource(const std::string& text) override;
  void ShowDestination(const std::string& text) override;
  void Step() override;
  void PumpMessages() override;
  void ClearTexts() override;

  HWND hwnd = nullptr;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  BOOL OnInitDialog();
  /// Puts the latest texts and the step count on the screen and handles
  /// the waiting messages.
  void Refresh();
  void OnInstall();
  void OnCancel();
  /// Whether a folder that refuses may be offered a restart with
  /// administrator rights: not elevated, and not itself such a restart.
  bool MayElevate() const;
  /// The shield on Install when the folders the install changes refuse
  /// this process and rights would help.
  void UpdateShield();
  /// Runs the installer again with administrator rights on the answers
  /// given, waits for it and takes its exit status.
  Status RestartAsAdministrator();
  /// Disables both buttons for good: the one install or undo of this run.
  void BeginWork();
  bool PaintMinimised();
  /// The undo's question; when confirmed, the undo runs once the window shows.
  void PrepareUndoRun();
  void RunUndoNow();

  HICON icon_;
  InstallerApp app_;
  PathFields fields_;
  /// Set from the moment the checks passed until the window closes: the
  /// buttons are disabled then, and Enter, Escape or a close request that
  /// the copy step's message pump lets through must do nothing either.
  bool installing_ = false;

  SetupOptions options_;
  UndoJob undoJob_;
  int exitCode_ = 0;

  // Under Wine every change of a control costs a round trip to the display,
  // several times a plain copy: the window shows the copy step's progress
  // some 25 times a second, however fast the files go.
  static constexpr DWORD kRefreshMs = 40;
  std::string source_, destination_;
  int steps_ = 0;
  ULONGLONG lastRefresh_ = 0;
};

}  // namespace win32
}  // namespace trilo
