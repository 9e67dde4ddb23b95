#pragma once
#include <cstdio>
#include <string>

namespace trilo {

/// Reads text lines from a file opened in binary mode. A line ends at LF, a
/// CR just before the LF is not part of it, the last line needs no line end,
/// and lines have no length limit.
class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file) {}
  /// False at the end of the input (or on a read error: see Failed()).
  bool Next(std::string& line);
  bool Failed() const { return failed_; }

 private:
  std::FILE* file_;
  bool failed_ = false;
};

/// The same rules over text held in memory.
class StringLineReader {
 public:
  explicit StringLineReader(const std::string& text) : text_(text) {}
  bool Next(std::string& line);

 private:
  const std::string& text_;
  size_t pos_ = 0;
};

/// Writes each line followed by CR LF, on every platform; remembers a failure.
class LineWriter {
 public:
  explicit LineWriter(std::FILE* file) : file_(file) {}
  void WriteLine(const std::string& line);
  bool Failed() const { return failed_; }

 private:
  std::FILE* file_;
  bool failed_ = false;
};

}  // namespace trilo
