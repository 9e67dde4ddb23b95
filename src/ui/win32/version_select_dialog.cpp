#include "version_select_dialog.h"

#include "dialog_base.h"
#include "install/interface_text.h"

namespace trilo {
namespace win32 {

INT_PTR VersionSelectDialog::DoModal() { return RunModal(IDD_VERSION_SELECT, parent_, *this); }

void VersionSelectDialog::FillCombo() {
  SetItemText(hwnd, IDC_VERSION_COMBO, chosen);
  HWND combo = GetDlgItem(hwnd, IDC_VERSION_COMBO);
  while (SendMessageA(combo, CB_GETCOUNT, 0, 0) > 0) SendMessageA(combo, CB_DELETESTRING, 0, 0);
  for (const std::string& version : versions_) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(version.c_str()));
  }
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

INT_PTR VersionSelectDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      FitStaticTexts(hwnd);
      CentreWindow(hwnd);
      FillCombo();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          chosen = GetItemText(hwnd, IDC_VERSION_COMBO);
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
