#include "formats/command_line.h"

namespace trilo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> words;
  const size_t n = line.size();
  size_t i = 0;

  std::string program;
  if (n > 0 && line[0] == '"') {
    size_t close = line.find('"', 1);
    if (close == std::string::npos) close = n;
    program = line.substr(1, close - 1);
    i = close < n ? close + 1 : n;
  } else {
    while (i < n && !IsBlank(line[i])) program += line[i++];
  }
  words.push_back(program);

  while (i < n && IsBlank(line[i])) ++i;
  if (i == n) return words;

  std::string word;
  int quotes = 0;       // 0 outside quotes, 1 inside; 2 only within a run
  size_t backslashes = 0;
  while (i < n) {
    const char c = line[i];
    if (IsBlank(c) && quotes == 0) {
      words.push_back(word);
      word.clear();
      backslashes = 0;
      while (i < n && IsBlank(line[i])) ++i;
      if (i == n) return words;
    } else if (c == '\\') {
      word += c;
      ++backslashes;
      ++i;
    } else if (c == '"') {
      // The backslashes before a quote are halved; an odd one left over
      // makes the quote literal.
      word.resize(word.size() - backslashes / 2);
      if (backslashes % 2 == 0) {
        ++quotes;
      } else {
        word.back() = '"';
      }
      backslashes = 0;
      ++i;
      for (; i < n && line[i] == '"'; ++i) {
        if (++quotes == 3) {
          word += '"';
          quotes = 0;
        }
      }
      if (quotes == 2) quotes = 0;
    } else {
      word += c;
      backslashes = 0;
      ++i;
    }
  }
  words.push_back(word);
  return words;
}

std::string QuoteArgument(const std::string& word) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only before a quote: there each needs a partner.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + '"';
}

}  // namespace trilo
