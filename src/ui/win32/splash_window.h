#pragma once
#include <windows.h>

#include <string>

namespace trilo {
namespace win32 {

/// The package's splash bitmap in a borderless window of exactly its size,
/// centred on the screen, closed by a timer.
class SplashWindow {
 public:
  SplashWindow(HWND parent, const std::string& imagePath, int delayMs)
      : parent_(parent), imagePath_(imagePath), delayMs_(delayMs) {}

  /// Returns when the timer fired (or Enter or Escape was pressed).
  INT_PTR DoModal();

  HWND hwnd = nullptr;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void LoadImageIntoControl();
  void ReleaseImage();

  static const UINT_PTR kTimer = 1;

  HWND parent_;
  std::string imagePath_;
  int delayMs_;
  HWND image_ = nullptr;
  HBITMAP bitmap_ = nullptr;
};

}  // namespace win32
}  // namespace trilo
