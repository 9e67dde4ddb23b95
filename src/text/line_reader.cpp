#include "text/line_reader.h"

#include <cstring>

namespace trilo {

bool StringLineReader::Next(std::string& line) {
  if (pos_ >= text_.size()) return false;
  size_t end = text_.find('\n', pos_);
  if (end == std::string::npos) {
    line = text_.substr(pos_);
    pos_ = text_.size();
  } else {
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// Bytes only ever move down, so the text is rewritten where it stands.
void DropCrOfCrLf(std::string& text) {
  if (text.empty()) return;
  char* const begin = &text[0];
  char* const end = begin + text.size();
  char* to = begin;
  for (char* from = begin; from < end;) {
    char* cr = static_cast<char*>(std::memchr(from, '\r', static_cast<std::size_t>(end - from)));
    char* stop = cr ? cr : end;
    if (to != from) std::memmove(to, from, static_cast<std::size_t>(stop - from));
    to += stop - from;
    if (!cr) break;
    if (cr + 1 == end || cr[1] != '\n') *to++ = '\r';
    from = cr + 1;
  }
  text.resize(static_cast<std::size_t>(to - begin));
}

void AppendCrLfLine(std::string& out, const std::string& line) {
  out += line;
  out += "\r\n";
}

}  // namespace trilo
