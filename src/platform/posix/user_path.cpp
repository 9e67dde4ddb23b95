#include "platform/user_path.h"

#include <langinfo.h>

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>

#include "code_page_text.h"
#include "formats/command_line.h"
#include "path_map.h"
#include "platform/system_info.h"
#include "wine_path.h"
#include "text/text_util.h"

namespace trilo {

namespace {

// An absolute path with "." and ".." taken out by name, as Windows takes
// them out of a full path; a trailing "/" stays.
std::string Lexical(const std::string& path) {
  std::vector<std::string> parts;
  size_t pos = 1;
  while (pos <= path.size()) {
    size_t next = path.find('/', pos);
    if (next == std::string::npos) next = path.size();
    const std::string part = path.substr(pos, next - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = next + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  if (out.empty() || (path.back() == '/' && path.size() > 1)) out += "/";
  return out;
}

// The terminal's character set when it is not UTF-8; empty while it is.
std::string& TerminalCharset() {
  static std::string charset;
  return charset;
}

std::string ForTerminal(const std::string& utf8) {
  return TerminalCharset().empty() ? utf8 : Utf8ForCharset(utf8, TerminalCharset());
}

}  // namespace

bool UseCodePage(unsigned id) { return SelectCodePage(id); }

void FollowLocaleCharset() {
  // A UTF-8 locale that is not installed still says how the terminal writes.
  if (!std::setlocale(LC_CTYPE, "")) {
    const std::string locale = LocaleFromEnvironment();
    const size_t dot = locale.find('.');
    const std::string charset = dot == std::string::npos ? std::string() : locale.substr(dot + 1, 5);
    if (EqualsIgnoreCase(charset, "UTF-8") || EqualsIgnoreCase(charset.substr(0, 4), "utf8"))
      std::setlocale(LC_CTYPE, "C.UTF-8");
  }
  const std::string charset = nl_langinfo(CODESET);
  TerminalCharset() = charset == "UTF-8" ? std::string() : charset;
}

bool PathFromUser(const std::string& typed, std::string& corePath) {
  corePath.clear();
  if (typed.empty()) return true;
  std::string full = typed;
  if (full[0] == '~' && (full.size() == 1 || full[1] == '/')) {
    const char* home = std::getenv("HOME");
    if (home) full = home + full.substr(1);
  }
  if (full[0] != '/') full = NativeCurrentFolder() + "/" + full;
  return FromNativePath(Lexical(full), corePath);
}

std::string PathForUser(const std::string& corePath) {
  // Shown, not used: what cannot be converted shows as U+FFFD and is no refusal.
  return ForTerminal(ResolveNativePath(ToSlashes(CodePageForDisplay(corePath), CodePage(kUtf8CodePage))));
}

std::string PathForMessage(const std::string& corePath) { return ToSlashes(corePath, ActiveCodePage()); }

namespace {

// A word as the shell takes it literally.
std::string ShellWord(const std::string& word) {
  bool plain = !word.empty();
  for (char c : word)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_./=:,+-@%", c))) plain = false;
  if (plain) return word;
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string WineCommandLine(const std::string& target, const std::string& arguments,
                            const std::string& workingDir) {
  const std::string program = ToNativePath(target);
  const std::string prefix = WinePrefixOf(program);
  std::string line = "cd " + ShellWord(ToNativePath(workingDir)) + " && ";
  if (!prefix.empty()) line += "WINEPREFIX=" + ShellWord(prefix) + " ";
  line += "wine " + ShellWord(WinePathFor(program));
  // Wine joins its arguments into the program's command line again.
  std::string tail;
  CodePageToUtf8(arguments, tail);
  const std::vector<std::string> words = SplitCommandLine("x " + tail);
  for (size_t i = 1; i < words.size(); ++i) line += " " + ShellWord(words[i]);
  return line;
}

bool TextFromUser(const std::string& typed, std::string& text) { return Utf8ToCodePage(typed, text); }

std::string TextForUser(const std::string& text) { return ForTerminal(CodePageForDisplay(text)); }

}  // namespace trilo
