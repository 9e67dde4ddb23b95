#pragma once
#include <windows.h>

#include "install/interaction.h"

namespace trilo {
namespace win32 {

/// The template of a notice: "Install Complete.", "Install Cancelled.", the
/// options error, "Install Failed." and the three that end an undo.
int NoticeTemplate(Notice notice);

/// Shows a notice modally; it only closes (OK, Enter, Escape, close box).
void ShowNoticeDialog(HWND owner, Notice notice);

}  // namespace win32
}  // namespace trilo
