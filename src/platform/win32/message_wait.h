#pragma once
#include <windows.h>

namespace trilo {

/// Waits for `object` without a time limit while the windows of this
/// thread stay painted: paint, sent, posted and timer messages are handled,
/// keyboard and mouse input is dropped (nothing may be pressed while a
/// command runs), and a quit request is put back for the caller's loop.
void WaitKeepingWindowsPainted(HANDLE object);

}  // namespace trilo
