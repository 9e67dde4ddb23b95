#include "formats/ini_reader.h"

#include <cstdint>

#include "text/text_util.h"

namespace trilo {

namespace {

bool IsProfileSpace(char c) { return IsWhite(c); }

// Blanks around a name or value, as the profile functions strip them.
std::string StripBlanks(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsProfileSpace(s[b])) ++b;
  while (e > b && IsProfileSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Only spaces go from the names asked for: a TAB or a line end there is
// part of the name, which no line of the file then matches.
std::string StripSpaces(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return s.substr(b, e - b);
}

// The line that answers a lookup: the first section whose name matches is
// the only one searched, and in it the first key that matches; null when
// there is none or that key has no "=". Keys before the first header belong
// to no section: "" asks for the one written "[]".
const IniLine* Find(const std::vector<IniLine>& lines, const std::string& section, const std::string& key) {
  const std::string wantSection = StripSpaces(section);
  const std::string wantKey = StripSpaces(key);
  bool inSection = false;
  for (const IniLine& line : lines) {
    if (line.kind == IniLine::Kind::Section) {
      if (inSection) return nullptr;
      inSection = EqualsIgnoreCase(line.name, wantSection);
      continue;
    }
    if (!inSection || !EqualsIgnoreCase(line.name, wantKey)) continue;
    return line.hasValue ? &line : nullptr;
  }
  return nullptr;
}

// One line without its blanks, taken as the lookups take it.
bool ParseLine(const std::string& text, IniLine& line) {
  // A comment is never a key, whatever name is asked for.
  if (text.empty() || text[0] == ';') return false;
  if (text[0] == '[') {
    // The name ends at the first "]", and the rest of the line is ignored;
    // without any "]" the rest of the line names the section. "[ GUI ]" is
    // the section GUI.
    const size_t close = text.find(']');
    line.kind = IniLine::Kind::Section;
    line.name = StripBlanks(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
  }
  const size_t eq = text.find('=');
  line.hasValue = eq != std::string::npos;
  line.name = line.hasValue ? StripBlanks(text.substr(0, eq)) : text;
  if (line.hasValue) line.value = StripBlanks(text.substr(eq + 1));
  return true;
}

}  // namespace

std::vector<IniLine> IniText::Lines() const {
  std::vector<IniLine> lines;
  int number = 1;
  size_t pos = 0;
  while (pos < bytes_.size()) {
    size_t end = pos;
    while (end < bytes_.size() && bytes_[end] != '\n' && bytes_[end] != '\r') ++end;
    IniLine line;
    line.number = number;
    // A lone CR ends a line for the lookups, not for an editor.
    if (end < bytes_.size() && bytes_[end] == '\n') ++number;
    if (ParseLine(StripBlanks(bytes_.substr(pos, end - pos)), line)) lines.push_back(std::move(line));
    pos = end + 1;
  }
  return lines;
}

int IniText::LineOf(const std::string& section, const std::string& key) const {
  const std::vector<IniLine> lines = Lines();
  const IniLine* line = Find(lines, section, key);
  return line ? line->number : 0;
}

std::string IniText::GetString(const std::string& section, const std::string& key,
                               const std::string& defaultValue, size_t bufferSize) const {
  if (bufferSize == 0) return std::string();
  const std::vector<IniLine> lines = Lines();
  const IniLine* line = Find(lines, section, key);
  std::string value;
  if (line) {
    value = line->value;
  } else {
    value = defaultValue;
    // The default loses its trailing blanks.
    while (!value.empty() && value.back() == ' ') value.pop_back();
  }
  // One pair of enclosing quotes goes, as long as the whole value fits.
  bool quoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
  if (quoted) value = value.substr(1);
  if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
  else if (quoted) value.pop_back();
  return value;
}

int IniText::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
  std::string text = GetString(section, key, "", 30);
  if (text.empty()) return defaultValue;
  return ProfileTextToInt(text);
}

int ProfileTextToInt(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                             text[i] == '\v' || text[i] == '\f'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    char p = text[i + 1];
    if (p == 'x' || p == 'X') base = 16;
    else if (p == 'o' || p == 'O') base = 8;
    else if (p == 'b' || p == 'B') base = 2;
    if (base != 10) i += 2;
  }
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'z') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'Z') digit = static_cast<unsigned>(c - 'A' + 10);
    else break;
    if (digit >= base) break;
    value = value * base + digit;  // wraps as the 32-bit original does
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

}  // namespace trilo
