#include "text/text_util.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

namespace trilo {

bool IsWhite(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string TrimLeft(const std::string& s) {
  size_t b = 0;
  while (b < s.size() && IsWhite(s[b])) ++b;
  return s.substr(b);
}

std::string TrimRight(const std::string& s) {
  size_t e = s.size();
  while (e > 0 && IsWhite(s[e - 1])) --e;
  return s.substr(0, e);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

static char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

std::string FoldCase(const std::string& s) {
  std::string folded = s;
  for (char& c : folded) c = AsciiLower(c);
  return folded;
}

bool FormTemplateName(const std::string& version, const std::string& plain, std::string& name) {
  std::string formed = version.empty() ? plain : version + "." + plain;
  if (formed.size() > 255) return false;
  name = formed;
  return true;
}

namespace {

std::string Replaced(std::string text, char from, char to, const CodePage& cp) {
  for (size_t i = FindChar(text, from, cp); i != std::string::npos; i = FindChar(text, from, cp, i + 1))
    text[i] = to;
  return text;
}

}  // namespace

std::string ToSlashes(std::string path, const CodePage& cp) { return Replaced(std::move(path), '\\', '/', cp); }

std::string ToBackslashes(std::string path, const CodePage& cp) {
  return Replaced(std::move(path), '/', '\\', cp);
}

std::string ResolveDotSteps(const std::string& path) {
  auto separator = [](char c) { return c == '\\' || c == '/'; };
  size_t pos = 0;
  if (path.size() > 1 && path[1] == ':') pos = 2;  // a drive
  while (pos < path.size() && separator(path[pos])) ++pos;
  std::string out = ToBackslashes(path.substr(0, pos), CodePage());  // a drive and separators only
  const size_t root = out.size();
  out.reserve(path.size() + 1);
  // Built in place: a step holds no separator, so the last backslash past
  // the root always opens the last step. Steps of ".." only ever lead.
  size_t steps = 0, climbs = 0;
  while (pos < path.size()) {
    size_t end = pos;
    while (end < path.size() && !separator(path[end])) ++end;
    const size_t length = end - pos;
    const bool climb = length == 2 && path[pos] == '.' && path[pos + 1] == '.';
    const bool here = length == 1 && path[pos] == '.';
    if (climb && steps > climbs) {
      out.resize(steps == 1 ? root : out.rfind('\\'));
      --steps;
    } else if (climb ? root == 0 : length > 0 && !here) {  // above a relative start ".." stays
      if (steps > 0) out += '\\';
      out.append(path, pos, length);
      ++steps;
      if (climb) ++climbs;
    }
    pos = end + 1;
  }
  if (!path.empty() && separator(path.back()) && steps > 0) out += '\\';
  return out;
}

std::string FileStem(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string FormatText(const char* format, ...) {
  std::va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(&text[0], text.size() + 1, format, again);
  va_end(again);
  return text;
}

}  // namespace trilo
