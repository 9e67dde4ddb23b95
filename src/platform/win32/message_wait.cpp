#include "message_wait.h"

namespace trilo {

namespace {

// Handles what is waiting; false once a quit request came, whose code is
// kept in `quitCode`.
bool HandleWaitingMessages(WPARAM& quitCode) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
  }
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE)) {
    if (msg.message == WM_QUIT) {
      quitCode = msg.wParam;
      return false;
    }
    // Keys and clicks posted rather than typed are input all the same.
    const bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                       (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST);
    if (!input) DispatchMessageA(&msg);
  }
  return true;
}

}  // namespace

void WaitKeepingWindowsPainted(HANDLE object) {
  // A thread that looks at no message for some seconds is "Not Responding",
  // and Windows offers to end it: in the middle of an install.
  WPARAM quitCode = 0;
  bool quit = false;
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_ALLINPUT);
    if (woke != WAIT_OBJECT_0 + 1) break;  // it ended, or the wait cannot go on
    if (!quit && !HandleWaitingMessages(quitCode)) quit = true;
    if (quit) {
      // Wait on plainly: nothing else may be handled after a quit request.
      WaitForSingleObject(object, INFINITE);
      break;
    }
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace trilo
