#include "splash_window.h"

#include "dialog_base.h"
#include "install/interface_text.h"

namespace trilo {
namespace win32 {

INT_PTR SplashWindow::DoModal() { return RunModal(IDD_SPLASH, parent_, *this); }

void SplashWindow::LoadImageIntoControl() {
  RECT client;
  GetClientRect(hwnd, &client);
  image_ = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, 0, 0,
                           client.right, client.bottom, hwnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SPLASH_IMAGE)), AppInstance(),
                           nullptr);

  // A relative name is found in the current folder, the package folder.
  bitmap_ = static_cast<HBITMAP>(LoadImageA(nullptr, imagePath_.c_str(), IMAGE_BITMAP, 0, 0,
                                            LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION));
  BITMAP info;
  if (!bitmap_ || !GetObjectA(bitmap_, sizeof info, &info)) {
    // Nothing to size the window by: it stays empty at its template size
    // until the timer closes it.
    return;
  }
  // The window has neither border nor caption, so its size is the image's.
  SetWindowPos(hwnd, nullptr, 0, 0, info.bmWidth, info.bmHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  SetWindowPos(image_, nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(image_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_));
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void SplashWindow::ReleaseImage() {
  if (image_) {
    // Version 6 of the controls may hold a copy of a bitmap with alpha; the
    // control hands back whatever it holds so that both are freed.
    HBITMAP held = reinterpret_cast<HBITMAP>(SendMessageA(image_, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (held && held != bitmap_) DeleteObject(held);
  }
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
}

INT_PTR SplashWindow::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      // The delay runs from here, so loading the image is part of it.
      // Centred at the template size: the image then grows to the right and
      // down from that corner. The owner is not shown yet, so this is the
      // screen's work area.
      CentreWindow(hwnd);
      SetTimer(hwnd, kTimer, delayMs_ > 0 ? static_cast<UINT>(delayMs_) : 0, nullptr);
      LoadImageIntoControl();
      return TRUE;
    case WM_TIMER:
      KillTimer(hwnd, kTimer);
      EndDialog(hwnd, IDCANCEL);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        KillTimer(hwnd, kTimer);
        EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
      }
      break;
    case WM_DESTROY:
      ReleaseImage();
      return FALSE;
  }
  return FALSE;
}

}  // namespace win32
}  // namespace trilo
