#include "text/line_reader.h"

namespace trilo {

bool LineReader::Next(std::string& line) {
  line.clear();
  int c = std::getc(file_);
  if (c == EOF) {
    if (std::ferror(file_)) failed_ = true;
    return false;
  }
  while (c != EOF && c != '\n') {
    line.push_back(static_cast<char>(c));
    c = std::getc(file_);
  }
  if (c == EOF && std::ferror(file_)) failed_ = true;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

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

void LineWriter::WriteLine(const std::string& line) {
  if (failed_) return;
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() ||
      std::fwrite("\r\n", 1, 2, file_) != 2)
    failed_ = true;
}

}  // namespace trilo
