#pragma once
#include <string>
#include <vector>

namespace trilo {

/// A template ("dirs.txt", "files.txt") of a version ("Full" reads
/// "Full.dirs.txt"), read whole and handed out entry by entry: every line,
/// trimmed, that is neither blank nor a "#" comment, in file order.
class TemplateFile {
 public:
  /// False when the name would not fit the game's tools (it is refused, not
  /// cut) or the file cannot be read to its end: either way the template
  /// counts as unreadable.
  bool Read(const std::string& version, const char* plainName);
  /// How many entries there are, without handing them out.
  size_t Count() const;
  /// The next entry; false after the last.
  bool Next(std::string& entry);

 private:
  std::string text_;
  size_t pos_ = 0;
};

/// All entries of a template at once; false when it is unreadable.
bool ReadTemplateEntries(const std::string& version, const char* plainName, std::vector<std::string>& entries);

}  // namespace trilo
