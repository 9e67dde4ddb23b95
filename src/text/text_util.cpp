#include "text/text_util.h"

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

std::string FileStem(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace trilo
