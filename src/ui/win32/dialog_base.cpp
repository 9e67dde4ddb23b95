#include "dialog_base.h"

#include <commctrl.h>

#include <vector>

namespace trilo {
namespace win32 {

HINSTANCE AppInstance() { return GetModuleHandleA(nullptr); }

std::string GetItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return std::string();
  int length = GetWindowTextLengthA(item);
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  int got = GetWindowTextA(item, buffer.data(), length + 1);
  return std::string(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void SetItemText(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }

void EnableItem(HWND dialog, int id, bool enable) { EnableWindow(GetDlgItem(dialog, id), enable ? TRUE : FALSE); }

void CentreWindow(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  HWND owner = GetWindow(window, GW_OWNER);
  RECT area;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
    GetWindowRect(owner, &area);
  } else {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    area = monitor.rcWork;
  }
  int x = area.left + ((area.right - area.left) - (frame.right - frame.left)) / 2;
  int y = area.top + ((area.bottom - area.top) - (frame.bottom - frame.top)) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ResetProgressBar(HWND bar, int count) {
  SendMessageA(bar, PBM_SETRANGE32, 0, count);
  SendMessageA(bar, PBM_SETSTEP, 1, 0);
  SendMessageA(bar, PBM_SETPOS, 0, 0);
}

}  // namespace win32
}  // namespace trilo
