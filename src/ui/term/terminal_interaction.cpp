#include "terminal_interaction.h"

#include <dirent.h>
#include <editline/readline.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iostream>
#include <vector>

#include "formats/ini_reader.h"
#include "install/install_record.h"
#include "install/interface_text.h"
#include "platform/filesystem.h"
#include "platform/profile.h"
#include "platform/stop_request.h"
#include "platform/user_path.h"
#include "platform/system_info.h"
#include "text/text_util.h"
#include "text/utf8.h"

namespace trilo {

namespace {

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The names in `folder` that start with `prefix`, sorted; hidden ones only
// when the prefix asks for them.
std::vector<std::string> NamesStartingWith(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || (name[0] == '.' && (prefix.empty() || prefix[0] != '.'))) continue;
    if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// The line drawn again from the start of the terminal's line: the editor
// draws a line changed by a key of ours only when told, and then from where
// it believes the cursor is.
int Redrawn(int) {
  std::fputs("\r", stdout);
  std::fflush(stdout);
  rl_forced_update_display();
  return 0;
}

// Tab: what is typed before the cursor completed as a path, not as a shell
// word. A name goes in as it is (a blank stays a blank: the answer is read
// as a path), "~/" is the home folder, and a folder gets its "/" so that the
// next Tab goes on inside it. Names that share no more than what is typed
// are listed.
int CompletePathKey(int, int) {
  const std::string typed(rl_line_buffer, static_cast<size_t>(rl_point));
  if (typed == "~") return Redrawn(rl_insert_text("/"));
  const size_t slash = typed.rfind('/');
  const std::string prefix = slash == std::string::npos ? typed : typed.substr(slash + 1);
  std::string folder = slash == std::string::npos ? std::string("./") : typed.substr(0, slash + 1);
  const char* home = std::getenv("HOME");
  if (home && folder.compare(0, 2, "~/") == 0) folder = home + folder.substr(1);

  const std::vector<std::string> names = NamesStartingWith(folder, prefix);
  if (names.empty()) return rl_ding();
  std::string common = names.front();
  for (const std::string& name : names) {
    size_t n = 0;
    while (n < common.size() && n < name.size() && common[n] == name[n]) ++n;
    common.resize(n);
  }
  std::string insert = common.substr(prefix.size());
  if (names.size() == 1 && IsFolder(folder + names.front())) insert += '/';
  if (!insert.empty()) return Redrawn(rl_insert_text(insert.c_str()));
  if (names.size() == 1) return rl_ding();  // complete already
  std::string list = "\n";
  for (const std::string& name : names) list += name + (IsFolder(folder + name) ? "/  " : "  ");
  std::fputs((list + "\n").c_str(), stdout);
  return Redrawn(0);
}

// The characters of UTF-8 text, each with its bytes and its width.
struct Glyph {
  std::string bytes;
  int columns;
};

std::vector<Glyph> Glyphs(const std::string& utf8) {
  std::vector<Glyph> glyphs;
  for (size_t i = 0; i < utf8.size();) {
    const Utf8Char c = DecodeUtf8(utf8, i, BadBytes::Replace);
    glyphs.push_back({utf8.substr(i, c.length), CharColumns(c.code)});
    i += c.length;
  }
  return glyphs;
}

// The prompt as the line editor can read it in the locale: it gives up on a
// prompt with a byte that is no character there (and libedit then crashes),
// so such a byte shows as "?".
std::string ReadablePrompt(const std::string& prompt) {
  std::string out;
  std::mbstate_t state{};
  for (size_t i = 0; i < prompt.size();) {
    wchar_t c;
    const size_t length = std::mbrtowc(&c, prompt.data() + i, prompt.size() - i, &state);
    if (length == static_cast<size_t>(-1) || length == static_cast<size_t>(-2)) {
      out += '?';
      state = std::mbstate_t{};
      ++i;
      continue;
    }
    const size_t taken = length == 0 ? 1 : length;
    out.append(prompt, i, taken);
    i += taken;
  }
  return out;
}

// An answer checked as it is given, so that the person knows which one was
// wrong: a path where there is no file, or a folder, is refused with the
// reason. A configuration file without [COMPONENTS] is taken, with a warning:
// the install will find none of the game's folders in it.
bool AcceptableAnswer(LocateKind kind, const std::string& path) {
  const FileStatus found = GetFileStatus(path);
  if (!found.exists || found.folder) {
    std::cout << PathForUser(path) << (found.exists ? ": this is a folder, not a file.\n" : ": there is no such file.\n");
    return false;
  }
  if (kind != LocateKind::GameConfig) return true;
  for (const IniLine& line : IniText(ReadProfileText(path)).Lines())
    if (line.kind == IniLine::Kind::Section && EqualsIgnoreCase(line.name, "COMPONENTS")) return true;
  std::cout << "Warning: " << PathForUser(path)
            << " has no [COMPONENTS] section; it may not be the game's configuration file.\n";
  return true;
}

// The terminal's width; 0 when output goes elsewhere.
int TerminalColumns() {
  winsize ws{};
  return isatty(STDOUT_FILENO) && ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 ? ws.ws_col : 0;
}

}  // namespace

int FindVersion(const std::vector<std::string>& versions, const std::string& name) {
  for (size_t i = 0; i < versions.size(); ++i)
    if (EqualsIgnoreCase(versions[i], name)) return static_cast<int>(i);
  return -1;
}

std::string VersionsText(const std::vector<std::string>& versions) {
  std::string list;
  for (size_t i = 0; i < versions.size(); ++i)
    list += "  " + std::to_string(i + 1) + ") " + TextForUser(versions[i]) + "\n";
  return list;
}

std::string WrapText(const std::string& utf8, int columns) {
  if (columns <= 0) return utf8;
  std::string out, word;
  int used = 0, wordColumns = 0;
  auto flushWord = [&] {
    if (word.empty()) return;
    if (used > 0 && used + 1 + wordColumns > columns) {
      out += '\n';
      used = 0;
    } else if (used > 0) {
      out += ' ';
      ++used;
    }
    out += word;
    used += wordColumns;
    word.clear();
    wordColumns = 0;
  };
  for (const Glyph& g : Glyphs(utf8)) {
    if (g.bytes == " " || g.bytes == "\n") {
      flushWord();
      if (g.bytes == "\n") {
        out += '\n';
        used = 0;
      }
      continue;
    }
    // A word wider than the line, as text without blanks is, breaks anywhere.
    if (wordColumns + g.columns > columns) {
      flushWord();
      out += '\n';
      used = 0;
    }
    word += g.bytes;
    wordColumns += g.columns;
  }
  flushWord();
  return out;
}

TerminalInteraction::TerminalInteraction(const TermOptions& options)
    : options_(options),
      interactive_(!options.unattended),
      useLineEditor_(!options.unattended && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
  if (useLineEditor_) {
    rl_initialize();
    rl_add_defun("trilo-complete-path", CompletePathKey, '\t');
  }
}

void TellRefusals() {
  std::cout.flush();
  for (const Status& refusal : TakeRefusals()) std::cerr << ProgramName() << ": " << refusal.Reason() << std::endl;
}

void TerminalInteraction::ShowMessage(const std::string& text) {
  // A name that could not be converted is why a step failed: it comes first.
  TellRefusals();
  std::cerr << ProgramName() << ": " << TextForUser(text) << std::endl;
}

void TerminalInteraction::ShowNotice(Notice notice) { std::cout << NoticeText(notice) << std::endl; }

bool TerminalInteraction::ReadAnswer(const std::string& prompt, std::string& answer) {
  std::cout.flush();
  // Ctrl-C answers this question and every one after it as Cancel would.
  if (StopRequested()) return false;
  if (useLineEditor_) {
    char* line = readline(ReadablePrompt(prompt).c_str());
    if (!line || StopRequested()) {
      std::free(line);
      std::cout << std::endl;
      return false;
    }
    answer = line;
    if (!Trim(answer).empty()) add_history(line);
    std::free(line);
    return true;
  }
  std::cout << prompt << std::flush;
  if (!std::getline(std::cin, answer) || StopRequested()) {
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
  std::string proposal = flag ? *flag : request.path;
  // The configuration is proposed from the folder of the game given, as it
  // is from the registry's.
  if (!flag && request.kind == LocateKind::GameConfig && !gameExe_.empty() && !request.defaultName.empty())
    proposal = GameFolderOf(gameExe_, GetCurrentFolder() + "\\") + request.defaultName;
  // Files found for the question: the first is the proposal when nothing
  // else is.
  if (Trim(proposal).empty() && !request.choices.empty()) proposal = request.choices.front();

  if (!interactive_) {
    // Like the dialog, OK needs a path that is not blank.
    if (Trim(proposal).empty()) return false;
    request.path = proposal;
    if (request.kind == LocateKind::GameExe) gameExe_ = proposal;
    return true;
  }
  // After Ctrl-C the questions left are not shown: each is cancelled.
  if (StopRequested() || !AskPath(request, proposal)) return false;
  if (request.kind == LocateKind::GameExe) gameExe_ = request.path;
  return true;
}

bool TerminalInteraction::AskPath(LocateRequest& request, std::string proposal) {
  TellRefusals();
  std::cout << "\n" << WrapText(TextForUser(request.prompt), TerminalColumns()) << "\n";
  for (size_t i = 0; i < request.choices.size(); ++i)
    std::cout << "  " << (i + 1) << ") " << PathForUser(request.choices[i]) << "\n";
  for (;;) {
    std::string shown = Trim(proposal).empty() ? std::string() : PathForUser(proposal);
    std::string answer;
    if (!ReadAnswer(shown.empty() ? "Path (Ctrl-D cancels): " : "Path [" + shown + "]: ", answer)) return false;
    answer = Trim(answer);
    // A number picks from the files listed.
    char* end = nullptr;
    const long n = answer.empty() ? 0 : std::strtol(answer.c_str(), &end, 10);
    std::string path;
    if (end && *end == '\0' && n >= 1 && static_cast<size_t>(n) <= request.choices.size()) {
      path = request.choices[static_cast<size_t>(n) - 1];
    } else if (!answer.empty()) {
      if (!PathFromUser(answer, path)) {
        TellRefusals();
        continue;
      }
    } else if (!shown.empty()) {
      path = proposal;
    } else {
      std::cout << "Please type a path, or press Ctrl-D to cancel.\n";
      continue;
    }
    if (!AcceptableAnswer(request.kind, path)) continue;
    request.path = path;
    return true;
  }
}

bool TerminalInteraction::ChooseVersion(const std::vector<std::string>& versions, std::string& chosen) {
  if (!interactive_) {
    if (!options_.hasVersion) return false;
    chosen = options_.packageVersion;
    return true;
  }
  if (StopRequested()) return false;
  std::cout << "\n" << WrapText(TXT_VERSION_PROMPT, TerminalColumns()) << "\n" << VersionsText(versions);
  const std::string proposal = options_.hasVersion ? options_.packageVersion : versions.front();
  std::string answer, typed;
  for (;;) {
    if (!ReadAnswer("Version [" + TextForUser(proposal) + "]: ", answer)) return false;
    answer = Trim(answer);
    if (answer.empty()) {
      chosen = proposal;
      return true;
    }
    // A number picks from the list, and so does a name in it; any other
    // name is refused here rather than after every other question.
    char* end = nullptr;
    long n = std::strtol(answer.c_str(), &end, 10);
    if (end && *end == '\0' && n >= 1 && static_cast<size_t>(n) <= versions.size()) {
      chosen = versions[n - 1];
      return true;
    }
    if (!TextFromUser(answer, typed)) {
      TellRefusals();
      continue;
    }
    const int found = FindVersion(versions, typed);
    if (found >= 0) {
      chosen = versions[static_cast<size_t>(found)];
      return true;
    }
    std::cout << answer << ": the package has no such version. Its versions are:\n" << VersionsText(versions);
  }
}

void TerminalInteraction::ShowSplash(const std::string&, int) {
  // A terminal has no picture to show; the title banner stands in for it.
}

bool TerminalInteraction::AskYesNo(const std::string& question, const std::string& details) {
  if (!interactive_) return true;
  std::cout << "\n" << details;
  return ReadYesNo(question + " [y/N]: ", false);
}

bool TerminalInteraction::AskGoOn(const std::string& question) {
  return !interactive_ || ReadYesNo(question + " [Y/n]: ", true);
}

bool TerminalInteraction::ReadYesNo(const std::string& prompt, bool byDefault) {
  for (;;) {
    std::string answer;
    if (!ReadAnswer(prompt, answer)) return false;
    answer = Trim(answer);
    if (answer.empty()) return byDefault;
    if (EqualsIgnoreCase(answer, "y") || EqualsIgnoreCase(answer, "yes")) return true;
    if (EqualsIgnoreCase(answer, "n") || EqualsIgnoreCase(answer, "no")) return false;
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
