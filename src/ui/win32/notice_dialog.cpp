#include "notice_dialog.h"

#include "dialog_base.h"
#include "install/interface_text.h"

namespace trilo {
namespace win32 {

namespace {

struct NoticeDialog {
  HWND hwnd = nullptr;

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
      FitStaticTexts(hwnd);
      CentreWindow(hwnd);
      return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      EndDialog(hwnd, LOWORD(wParam));
      return TRUE;
    }
    return FALSE;
  }
};

}  // namespace

int NoticeTemplate(Notice notice) {
  switch (notice) {
    case Notice::Complete: return IDD_COMPLETION;
    case Notice::Cancelled: return IDD_CANCELLED;
    case Notice::OptionsError: return IDD_OPTIONS_ERROR;
    case Notice::Failed: return IDD_FAILED;
    case Notice::UndoComplete: return IDD_UNDO_COMPLETE;
    case Notice::UndoFailed: return IDD_UNDO_FAILED;
    case Notice::UndoCancelled: return IDD_UNDO_CANCELLED;
    case Notice::UndoIncomplete: return IDD_UNDO_INCOMPLETE;
  }
  return IDD_COMPLETION;
}

void ShowNoticeDialog(HWND owner, Notice notice) {
  NoticeDialog dialog;
  RunModal(NoticeTemplate(notice), owner, dialog);
}

}  // namespace win32
}  // namespace trilo
