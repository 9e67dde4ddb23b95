#include "terminal_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

#include <vector>

#include "platform/system_info.h"
#include "platform/user_path.h"
#include "text/text_util.h"
#include "text/utf8.h"

namespace trilo {

TerminalProgress::TerminalProgress(const char* doneVerb) : live_(isatty(STDOUT_FILENO)), doneVerb_(doneVerb) {}

void TerminalProgress::SetRange(int count) {
  range_ = count;
  position_ = 0;
  failed_ = 0;
  Draw();
}

void TerminalProgress::ShowSource(const std::string& text) { source_ = text; }
void TerminalProgress::ShowDestination(const std::string&) {}

void TerminalProgress::Step() {
  ++position_;
  Draw();
}

void TerminalProgress::ClearTexts() {
  source_.clear();
  if (live_ && drawn_) {
    Draw();
    std::fputs("\n", stdout);
  } else if (!live_) {
    std::printf("%s %d of %d files", doneVerb_, position_ - failed_, range_);
    if (failed_) std::printf(", %d failed", failed_);
    std::fputs("\n", stdout);
  }
  std::fflush(stdout);
  drawn_ = false;
}

void TerminalProgress::Draw() {
  if (!live_) return;
  winsize ws{};
  int columns = (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) ? ws.ws_col : 80;
  const int barWidth = 30;
  int percent = range_ > 0 ? static_cast<int>(100LL * position_ / range_) : 100;
  if (percent > 100) percent = 100;
  int filled = barWidth * percent / 100;
  char head[128];
  std::snprintf(head, sizeof head, "[%-*.*s] %d/%d %3d%% ", barWidth, filled,
                "##############################", position_, range_, percent);
  std::string line = head;
  const std::string file = TextForUser(ToSlashes(source_, ActiveCodePage()));
  const int room = columns - 1 - static_cast<int>(line.size());
  // Counted in characters and cut between them: the name is UTF-8 now.
  std::vector<size_t> starts;
  for (size_t i = 0; i < file.size(); i += DecodeUtf8(file, i, BadBytes::Replace).length) starts.push_back(i);
  const int length = static_cast<int>(starts.size());
  if (room > 3 && length > room) line += "..." + file.substr(starts[static_cast<size_t>(length - (room - 3))]);
  else if (room > 0) line += file.substr(0, length > room ? starts[static_cast<size_t>(room)] : file.size());
  std::printf("\r%s\033[K", line.c_str());
  std::fflush(stdout);
  drawn_ = true;
}

}  // namespace trilo
