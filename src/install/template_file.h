#pragma once
#include <string>
#include <vector>

#include "platform/status.h"

namespace trilo {

/// A template ("dirs.txt", "files.txt") of a version ("Full" reads
/// "Full.dirs.txt"), read whole and handed out entry by entry: every line,
/// trimmed, that is neither blank nor a "#" comment, in file order.
class TemplateFile {
 public:
  /// A versioned name that does not fit the game's tools (255 characters)
  /// is refused, not cut; a template that is missing or cannot be read to
  /// its end fails as the read did.
  Status Read(const std::string& version, const char* plainName);
  /// How many entries there are, without handing them out.
  size_t Count() const;
  /// The next entry and, when asked, its line (1 for the first line of the
  /// file); false after the last.
  bool Next(std::string& entry, int* line = nullptr);

 private:
  std::string text_;
  size_t pos_ = 0;
  int line_ = 0;
};

/// One entry of a package template and the line it stands on.
struct TemplateLine {
  std::string text;  ///< trimmed; neither blank nor a "#" comment
  int number = 0;    ///< 1 for the first line of the file
};

/// All entries of a template at once, with their line numbers.
Status ReadTemplateLines(const std::string& version, const char* plainName, std::vector<TemplateLine>& lines);

/// The entries alone.
Status ReadTemplateEntries(const std::string& version, const char* plainName, std::vector<std::string>& entries);

/// Splits a copy entry at its first "=" into the destination (trailing
/// blanks removed) and the source (leading blanks removed); false when the
/// entry holds no "=".
bool SplitCopyEntry(const std::string& entry, std::string& destination, std::string& source);

}  // namespace trilo
