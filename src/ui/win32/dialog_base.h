#pragma once
#include <windows.h>

#include <string>

// Small pieces shared by the dialogs: each dialog is a plain object whose
// OnMessage member handles its messages, run modally from a template.

namespace trilo {
namespace win32 {

/// The module that holds the dialog templates and the icon.
HINSTANCE AppInstance();

/// The text of a control, whatever its length.
std::string GetItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
void EnableItem(HWND dialog, int id, bool enable);

/// Centres a window on its owner when the owner is visible, otherwise in the
/// work area of its screen; dialogs open this way as the framework opens them.
void CentreWindow(HWND window);

/// Widens each static text of a dialog that does not fit its control, as
/// measured with the font the control is drawn in, just enough to show it
/// whole, and the dialog with it: the templates are laid out for the bitmap
/// font "MS Sans Serif", and a wider font that stands in for it would cut
/// the texts short. Controls to the right of a widened one in its row move
/// along, with the rest of their column, and the dialog keeps its right
/// margin. Empty texts are left alone.
void FitStaticTexts(HWND dialog);

/// Range 0 .. count with step 1 and the bar at 0. The 32-bit range message,
/// so that more than 65535 entries still fill the bar exactly.
void ResetProgressBar(HWND bar, int count);

template <class Dialog>
INT_PTR CALLBACK DialogThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    self->hwnd = hwnd;
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  }
  // Messages that arrive before WM_INITDIALOG (WM_SETFONT) get the default.
  return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}

/// Shows the template `templateId` modally, owned by `owner` (may be null),
/// with `dialog` handling its messages; returns the EndDialog result.
template <class Dialog>
INT_PTR RunModal(int templateId, HWND owner, Dialog& dialog) {
  return DialogBoxParamA(AppInstance(), MAKEINTRESOURCEA(templateId), owner, &DialogThunk<Dialog>,
                         reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace win32
}  // namespace trilo
