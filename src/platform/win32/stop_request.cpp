#include "platform/stop_request.h"

namespace trilo {

// The window's Cancel is the installer's only way to stop: nothing to catch.
void CatchStopRequests() {}

bool StopRequested() { return false; }

}  // namespace trilo
