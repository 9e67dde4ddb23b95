#include "locate_file_dialog.h"

#include <commdlg.h>

#include <vector>

#include "text/text_util.h"
#include "dialog_base.h"
#include "install/interface_text.h"

namespace trilo {
namespace win32 {

void LocateFileDialog::SetStrings(const std::string& prompt, const std::string& filter,
                                  const std::string& defaultName) {
  prompt_ = prompt;
  filter_ = filter;
  defaultName_ = defaultName;
}

INT_PTR LocateFileDialog::DoModal() { return RunModal(IDD_LOCATE_FILE, parent_, *this); }

void LocateFileDialog::FillControls() {
  SetItemText(hwnd, IDC_LOCATE_PATH, path);
  // The box keeps what was shown; only the enabling looks at the trimmed path.
  path = Trim(path);
  EnableItem(hwnd, IDOK, !path.empty());
}

void LocateFileDialog::Browse() {
  // "desc|pattern|...||" becomes the NUL-separated list the Open dialog wants,
  // its end marked by two NULs.
  std::vector<char> filter(filter_.begin(), filter_.end());
  for (char& c : filter) {
    if (c == '|') c = '\0';
  }
  filter.push_back('\0');
  filter.push_back('\0');

  char file[260] = {0};
  defaultName_.copy(file, sizeof file - 1);

  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd;
  ofn.lpstrFilter = filter_.empty() ? nullptr : filter.data();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  // Only an existing file in an existing folder can be chosen; the file is
  // only read, so the read-only box would offer a choice that means nothing.
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&ofn)) return;
  path = file;
  FillControls();
}

INT_PTR LocateFileDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CentreWindow(hwnd);
      FillControls();
      return TRUE;
    case WM_SHOWWINDOW:
      if (wParam) {
        SetItemText(hwnd, IDC_PROMPT, prompt_);
        // The prompt is the package's own text: it may need more room than
        // the template gives it.
        FitStaticTexts(hwnd);
        CentreWindow(hwnd);
      }
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_BROWSE:
          if (HIWORD(wParam) == BN_CLICKED) Browse();
          return TRUE;
        case IDOK:
          // Enter must not get round a disabled OK.
          if (!IsWindowEnabled(GetDlgItem(hwnd, IDOK))) return TRUE;
          path = GetItemText(hwnd, IDC_LOCATE_PATH);
          EndDialog(hwnd, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(hwnd, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace win32
}  // namespace trilo
