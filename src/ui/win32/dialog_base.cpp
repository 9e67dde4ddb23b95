#include "dialog_base.h"

#include <commctrl.h>

#include <algorithm>
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

namespace {

struct Child {
  HWND hwnd;
  RECT rect;  // in the dialog's client coordinates
  RECT original;
};

struct Collected {
  HWND dialog;
  std::vector<Child> children;
};

// The dialog's own controls, not the parts of a combo box.
BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  auto* collected = reinterpret_cast<Collected*>(param);
  if (GetParent(child) != collected->dialog) return TRUE;
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, collected->dialog, reinterpret_cast<POINT*>(&r), 2);
  collected->children.push_back({child, r, r});
  return TRUE;
}

std::string TextOf(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(control, buffer.data(), length + 1);
  return std::string(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

bool IsTextStatic(HWND control, DWORD& style) {
  char cls[16] = {0};
  GetClassNameA(control, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") != 0) return false;
  style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
  const DWORD type = style & SS_TYPEMASK;
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

// How much room a static's text takes when set `width` pixels wide, drawn
// as the static draws it.
SIZE Needed(HDC dc, const std::string& text, DWORD style, int width) {
  const DWORD type = style & SS_TYPEMASK;
  UINT flags = DT_CALCRECT | DT_EXPANDTABS;
  flags |= type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK;
  if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
  RECT r = {0, 0, width, 0};
  DrawTextA(dc, text.c_str(), -1, &r, flags);
  return SIZE{r.right, r.bottom};
}

bool Overlaps(const RECT& a, const RECT& b) { return a.top < b.bottom && b.top < a.bottom; }

}  // namespace

void FitStaticTexts(HWND dialog) {
  Collected collected{dialog, {}};
  EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&collected));
  std::vector<Child>& children = collected.children;
  if (children.empty()) return;
  RECT client;
  GetClientRect(dialog, &client);
  LONG rightmost = 0;
  for (const Child& c : children) rightmost = std::max(rightmost, c.rect.right);
  const LONG margin = client.right - rightmost;
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const LONG widest = work.right - work.left - margin;

  bool changed = false;
  for (Child& c : children) {
    DWORD style = 0;
    const std::string text = TextOf(c.hwnd);
    if (text.empty() || !IsTextStatic(c.hwnd, style)) continue;
    HDC dc = GetDC(c.hwnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(c.hwnd, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    const LONG width = c.rect.right - c.rect.left, height = c.rect.bottom - c.rect.top;
    // Wider until the text, wrapped as the static wraps it, fits its height:
    // a word longer than the line sets the least width there is.
    LONG fitted = width;
    SIZE need = Needed(dc, text, style, fitted);
    while ((need.cx > fitted || need.cy > height) && fitted < widest) {
      fitted = std::max(fitted + std::max<LONG>(metrics.tmAveCharWidth, 1), need.cx);
      need = Needed(dc, text, style, fitted);
    }
    SelectObject(dc, old);
    ReleaseDC(c.hwnd, dc);
    if (fitted == width) continue;

    const LONG grown = c.rect.right + (fitted - width);
    // What stands to its right in its row keeps the gap it had; the
    // column it belongs to moves with it.
    for (const Child& n : children) {
      if (n.hwnd == c.hwnd || n.original.left < c.original.right || !Overlaps(n.rect, c.rect)) continue;
      const LONG shift = grown + (n.original.left - c.original.right) - n.rect.left;
      if (shift <= 0) continue;
      const LONG column = n.rect.left;
      for (Child& m : children)
        if (m.rect.left == column) OffsetRect(&m.rect, shift, 0);
    }
    c.rect.right = grown;
    changed = true;
  }
  if (!changed) return;

  rightmost = 0;
  for (const Child& c : children) {
    SetWindowPos(c.hwnd, nullptr, c.rect.left, c.rect.top, c.rect.right - c.rect.left, c.rect.bottom - c.rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    rightmost = std::max(rightmost, c.rect.right);
  }
  const LONG wider = rightmost + margin - client.right;
  if (wider > 0) {
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + wider, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void ResetProgressBar(HWND bar, int count) {
  SendMessageA(bar, PBM_SETRANGE32, 0, count);
  SendMessageA(bar, PBM_SETSTEP, 1, 0);
  SendMessageA(bar, PBM_SETPOS, 0, 0);
}

}  // namespace win32
}  // namespace trilo
