#include "terminal_interaction.h"

#include <editline/readline.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "install/interface_text.h"
#include "platform/user_path.h"
#include "platform/system_info.h"
#include "text/text_util.h"

namespace trilo {

TerminalInteraction::TerminalInteraction(const TermOptions& options)
    : options_(options),
      interactive_(!options.unattended),
      useLineEditor_(!options.unattended && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {}

void TerminalInteraction::ShowMessage(const std::string& text) {
  std::cout.flush();
  std::cerr << ProgramName() << ": " << text << std::endl;
}

void TerminalInteraction::ShowNotice(Notice notice) { std::cout << NoticeText(notice) << std::endl; }

bool TerminalInteraction::ReadAnswer(const std::string& prompt, std::string& answer) {
  std::cout.flush();
  if (useLineEditor_) {
    char* line = readline(prompt.c_str());
    if (!line) {
      std::cout << std::endl;
      return false;
    }
    answer = line;
    if (!Trim(answer).empty()) add_history(line);
    std::free(line);
    return true;
  }
  std::cout << prompt << std::flush;
  if (!std::getline(std::cin, answer)) {
    std::cout << std::endl;
    return false;
  }
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  return true;
}

bool TerminalInteraction::LocateFile(LocateRequest& request) {
  // A flag answers its question; in interactive mode it is the proposal.
  const std::string* flag = nullptr;
  switch (request.kind) {
    case LocateKind::GameExe: if (options_.hasGameExe) flag = &options_.gameExe; break;
    case LocateKind::GameConfig: if (options_.hasConfig) flag = &options_.config; break;
    case LocateKind::TemplatePlayer: if (options_.hasPlayer) flag = &options_.player; break;
  }
  std::string proposal = flag ? PathFromUser(*flag) : request.path;

  if (!interactive_) {
    // Like the dialog, OK needs a path that is not blank.
    if (Trim(proposal).empty()) return false;
    request.path = proposal;
    return true;
  }

  std::cout << "\n" << request.prompt << "\n";
  for (;;) {
    std::string shown = Trim(proposal).empty() ? std::string() : PathForUser(proposal);
    std::string answer;
    if (!ReadAnswer(shown.empty() ? "Path (Ctrl-D cancels): " : "Path [" + shown + "]: ", answer)) return false;
    answer = Trim(answer);
    if (!answer.empty()) {
      request.path = PathFromUser(answer);
      return true;
    }
    if (!shown.empty()) {
      request.path = proposal;
      return true;
    }
    std::cout << "Please type a path, or press Ctrl-D to cancel.\n";
  }
}

bool TerminalInteraction::ChooseVersion(const std::vector<std::string>& versions, std::string& chosen) {
  if (!interactive_) {
    if (!options_.hasVersion) return false;
    chosen = options_.packageVersion;
    return true;
  }
  std::cout << "\n" TXT_VERSION_PROMPT "\n";
  size_t proposed = 0;
  for (size_t i = 0; i < versions.size(); ++i) {
    std::cout << "  " << (i + 1) << ") " << versions[i] << "\n";
    if (options_.hasVersion && versions[i] == options_.packageVersion) proposed = i;
  }
  std::string proposal = options_.hasVersion ? options_.packageVersion : versions.front();
  (void)proposed;
  std::string answer;
  if (!ReadAnswer("Version [" + proposal + "]: ", answer)) return false;
  answer = Trim(answer);
  if (answer.empty()) {
    chosen = proposal;
    return true;
  }
  // A number picks from the list; anything else is taken as typed, as the
  // dialog's editable list allows.
  char* end = nullptr;
  long n = std::strtol(answer.c_str(), &end, 10);
  if (end && *end == '\0' && n >= 1 && static_cast<size_t>(n) <= versions.size()) chosen = versions[n - 1];
  else chosen = answer;
  return true;
}

void TerminalInteraction::ShowSplash(const std::string&, int) {
  // A terminal has no picture to show; the title banner stands in for it.
}

bool TerminalInteraction::AskYesNo(const std::string& question, const std::string& details) {
  if (!interactive_) return true;
  std::cout << "\n" << details;
  for (;;) {
    std::string answer;
    if (!ReadAnswer(question + " [y/N]: ", answer)) return false;
    answer = Trim(answer);
    if (answer.empty() || EqualsIgnoreCase(answer, "n") || EqualsIgnoreCase(answer, "no")) return false;
    if (EqualsIgnoreCase(answer, "y") || EqualsIgnoreCase(answer, "yes")) return true;
  }
}

bool TerminalInteraction::ConfirmInstall(const std::string& summary) {
  if (!interactive_) return true;
  std::cout << "\n" << summary;
  for (;;) {
    std::string answer;
    if (!ReadAnswer("Install or Cancel? [I/c]: ", answer)) return false;
    answer = Trim(answer);
    if (answer.empty() || answer == "i" || answer == "I" || EqualsIgnoreCase(answer, "install")) return true;
    if (answer == "c" || answer == "C" || EqualsIgnoreCase(answer, "cancel")) return false;
  }
}

}  // namespace trilo
