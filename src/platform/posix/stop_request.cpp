#include "platform/stop_request.h"

#include <signal.h>

#include <initializer_list>

namespace trilo {

namespace {

volatile sig_atomic_t stopRequested = 0;

void NoteStop(int) { stopRequested = 1; }

}  // namespace

void CatchStopRequests() {
  struct sigaction action {};
  action.sa_handler = NoteStop;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a question waiting for its answer must see the stop.
  action.sa_flags = 0;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool StopRequested() { return stopRequested != 0; }

}  // namespace trilo
