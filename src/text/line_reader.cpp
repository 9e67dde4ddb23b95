#include "text/line_reader.h"

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

void AppendCrLfLine(std::string& out, const std::string& line) {
  out += line;
  out += "\r\n";
}

}  // namespace trilo
