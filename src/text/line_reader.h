#pragma once
#include <string>

namespace trilo {

/// Reads text lines from text held in memory. A line ends at LF, a CR just
/// before the LF is not part of it, the last line needs no line end, and
/// lines have no length limit.
class StringLineReader {
 public:
  explicit StringLineReader(const std::string& text) : text_(text) {}
  /// False at the end of the text.
  bool Next(std::string& line);

 private:
  const std::string& text_;
  size_t pos_ = 0;
};

/// Drops the CR of every CR LF pair, in place: the text then reads as a
/// text-mode stream gives it. A CR alone is a character and stays.
void DropCrOfCrLf(std::string& text);

/// Appends `line` and CR LF: every line the installer writes ends so, on
/// every platform, as the game and the Windows tools expect.
void AppendCrLfLine(std::string& out, const std::string& line);

}  // namespace trilo
