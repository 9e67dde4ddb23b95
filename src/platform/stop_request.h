#pragma once

namespace trilo {

/// From now on Ctrl-C and the system's requests to end (SIGINT, SIGTERM,
/// SIGHUP) only note that a stop was asked for: the program ends itself at
/// the next point where it can stop cleanly. A read of the terminal that
/// waits is interrupted by them. Nothing on Windows, where the installer is
/// a window.
void CatchStopRequests();

/// Whether a stop was asked for since CatchStopRequests(). The install asks
/// between its changes, never in the middle of one.
bool StopRequested();

}  // namespace trilo
