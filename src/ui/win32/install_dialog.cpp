#include "install_dialog.h"

#include <commctrl.h>

#include "platform/system_info.h"
#include "platform/virtual_store.h"
#include "platform/write_access.h"
#include "dialog_base.h"
#include "locate_file_dialog.h"
#include "notice_dialog.h"
#include "install/interface_text.h"
#include "splash_window.h"
#include "version_select_dialog.h"

namespace trilo {
namespace win32 {

namespace {

// Posted once the undo is confirmed, so that it runs in the shown window.
constexpr UINT kRunUndoMessage = WM_APP + 1;
// Posted at once in the restart with administrator rights: the install runs
// on the answers given, as if Install had been pressed, in the shown window.
constexpr UINT kRunInstallMessage = WM_APP + 2;

std::string ModulePath() {
  char path[MAX_PATH + 1];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n);
}

int ExitStatusOf(InstallResult result) {
  switch (result) {
    case InstallResult::Installed: return 0;
    case InstallResult::InstalledPartly: return 4;
    case InstallResult::Cancelled: return 2;
    default: return 1;
  }
}

}  // namespace

InstallDialog::InstallDialog()
    : icon_(LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME))), app_(*this) {}

InstallDialog::~InstallDialog() = default;  // LoadIcon's icons are shared: never destroyed

INT_PTR InstallDialog::DoModal() { return RunModal(IDD_INSTALL, nullptr, *this); }

// --- Interaction -----------------------------------------------------------

void InstallDialog::ShowMessage(const std::string& text) {
  MessageBoxA(hwnd, text.c_str(), ProgramName().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void InstallDialog::ShowNotice(Notice notice) { ShowNoticeDialog(hwnd, notice); }

bool InstallDialog::LocateFile(LocateRequest& request) {
  LocateFileDialog dialog(hwnd);
  dialog.path = request.path;
  dialog.SetStrings(request.prompt, request.filter, request.defaultName);
  if (dialog.DoModal() != IDOK) return false;
  request.path = dialog.GetPath();
  return true;
}

bool InstallDialog::ChooseVersion(const std::vector<std::string>& versions, std::string& chosen) {
  VersionSelectDialog dialog(hwnd, versions);
  if (dialog.DoModal() != IDOK) return false;
  chosen = dialog.chosen;
  return true;
}

bool InstallDialog::AskYesNo(const std::string& question, const std::string&) {
  return MessageBoxA(hwnd, question.c_str(), ProgramName().c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
         IDYES;
}

void InstallDialog::ShowSplash(const std::string& imagePath, int delayMs) {
  SplashWindow splash(hwnd, imagePath, delayMs);
  splash.DoModal();
}

// --- InstallProgress -------------------------------------------------------

void InstallDialog::SetRange(int count) {
  ResetProgressBar(GetDlgItem(hwnd, IDC_PROGRESS), count);
  steps_ = 0;
  lastRefresh_ = 0;
}

void InstallDialog::ShowSource(const std::string& text) { source_ = text; }

void InstallDialog::ShowDestination(const std::string& text) { destination_ = text; }

void InstallDialog::Step() { ++steps_; }

void InstallDialog::PumpMessages() {
  const ULONGLONG now = GetTickCount64();
  if (lastRefresh_ != 0 && now - lastRefresh_ < kRefreshMs) return;
  lastRefresh_ = now;
  Refresh();
}

void InstallDialog::Refresh() {
  SetItemText(hwnd, IDC_SOURCE_TEXT, source_);
  SetItemText(hwnd, IDC_DEST_TEXT, destination_);
  SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(steps_), 0);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Not ours to swallow: leave it for the modal loop after the install.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (!IsDialogMessageA(hwnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

void InstallDialog::ClearTexts() {
  // The bar ends where the step count is, whenever the last refresh was.
  SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(steps_), 0);
  source_.clear();
  destination_.clear();
  SetItemText(hwnd, IDC_SOURCE_TEXT, "");
  SetItemText(hwnd, IDC_DEST_TEXT, "");
}

// --- The window ------------------------------------------------------------

BOOL InstallDialog::OnInitDialog() {
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  SetWindowTextA(hwnd, app_.Settings.Title.c_str());
  FitStaticTexts(hwnd);
  CentreWindow(hwnd);
  if (options_.undo) {
    PrepareUndoRun();
    return TRUE;
  }
  if (options_.answered) {
    // The restart asks nothing again: the first process had the answers.
    fields_ = options_.fields;
    app_.State.SelectedVersion = options_.version;
    PostMessageA(hwnd, kRunInstallMessage, 0, 0);
    return TRUE;
  }
  const InstallSettings& s = app_.Settings;
  if (s.SplashOn != 0 && !s.SplashImg.empty()) ShowSplash(s.SplashImg, s.SplashDelay);
  LocateGameFiles(app_, fields_);
  UpdateShield();
  return TRUE;  // focus on the first control, Install
}

bool InstallDialog::MayElevate() const { return !options_.elevated && !RunsElevated(); }

void InstallDialog::UpdateShield() {
  bool shield = false;
  if (MayElevate()) shield = RightsWouldHelp(ProbeFolders(InstallFolders(app_, fields_.gameExe, fields_.gameConfig)));
  SendDlgItemMessageA(hwnd, IDOK, BCM_SETSHIELD, 0, shield ? TRUE : FALSE);
}

void InstallDialog::BeginWork() {
  installing_ = true;
  EnableItem(hwnd, IDOK, false);
  EnableItem(hwnd, IDCANCEL, false);
}

Status InstallDialog::RestartAsAdministrator() {
  SetupOptions answers;
  answers.undo = options_.undo;
  answers.fields = fields_;
  answers.version = app_.State.SelectedVersion;
  answers.virtualStore = VirtualStoreFolder();
  BeginWork();
  unsigned long status = 1;
  const Status ran = RunElevated(ModulePath(), ElevatedArguments(answers), app_.WorkingDir, status);
  if (ran) exitCode_ = static_cast<int>(status);
  return ran;
}

void InstallDialog::OnInstall() {
  if (installing_) return;
  trilo::RestartElevated restart;
  if (MayElevate()) restart = [this] { return RestartAsAdministrator(); };
  const InstallResult result = HandleInstall(app_, fields_, *this, [this] { BeginWork(); }, restart);
  // After an options error the user may try again; otherwise the one install
  // of this run is over, whatever its outcome.
  if (result == InstallResult::OptionsError) {
    UpdateShield();
    return;
  }
  if (result != InstallResult::Restarted) exitCode_ = ExitStatusOf(result);
  EndDialog(hwnd, IDOK);
}

void InstallDialog::PrepareUndoRun() {
  // The buttons have no part in an undo.
  BeginWork();
  trilo::RestartElevated restart;
  if (MayElevate()) restart = [this] { return RestartAsAdministrator(); };
  switch (PrepareUndo(app_, "last", false, undoJob_, restart)) {
    case UndoResult::Undone:
      PostMessageA(hwnd, kRunUndoMessage, 0, 0);
      return;
    case UndoResult::Restarted: break;  // its status is taken
    case UndoResult::Failed:
    case UndoResult::Incomplete: exitCode_ = 1; break;
    case UndoResult::Cancelled: exitCode_ = 2; break;
  }
  EndDialog(hwnd, IDCANCEL);
}

void InstallDialog::RunUndoNow() {
  // The modal loop shows the window only once its queue is idle, and this
  // message came first.
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  switch (RunUndoJob(app_, undoJob_, *this)) {
    case UndoResult::Undone: exitCode_ = 0; break;
    case UndoResult::Incomplete: exitCode_ = 4; break;  // as the terminal's: done, but not all of it
    default: exitCode_ = 1; break;
  }
  EndDialog(hwnd, IDOK);
}

void InstallDialog::OnCancel() {
  if (installing_) return;
  HandleCancel(app_);
  exitCode_ = 2;
  EndDialog(hwnd, IDCANCEL);
}

bool InstallDialog::PaintMinimised() {
  if (!IsIconic(hwnd)) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  SendMessageA(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(hwnd, &client);
  int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon_);
  EndPaint(hwnd, &paint);
  return true;
}

INT_PTR InstallDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          OnInstall();
          return TRUE;
        case IDCANCEL:
          OnCancel();
          return TRUE;
      }
      break;
    case WM_PAINT:
      return PaintMinimised() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    case kRunUndoMessage:
      RunUndoNow();
      return TRUE;
    case kRunInstallMessage:
      // The modal loop shows the window only once its queue is idle.
      ShowWindow(hwnd, SW_SHOW);
      UpdateWindow(hwnd);
      OnInstall();
      return TRUE;
  }
  return FALSE;
}

}  // namespace win32
}  // namespace trilo
