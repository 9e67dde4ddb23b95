#pragma once
#include <string>
#include <vector>

namespace trilo {

/// One entry of a package template and the line it stands on.
struct TemplateLine {
  std::string text;  ///< trimmed; neither blank nor a "#" comment
  int number = 0;    ///< 1 for the first line of the file
};

/// How reading a template ended.
enum class TemplateRead {
  Done,
  NameTooLong,  ///< the versioned name does not fit the game's tools (255 characters)
  Unreadable,   ///< missing, or it cannot be read to its end
};

/// The entries of the template `plainName` ("dirs.txt", "files.txt") of a
/// version ("Full" reads "Full.dirs.txt"), in file order, with their line
/// numbers. A name too long is refused, not cut.
TemplateRead ReadTemplateLines(const std::string& version, const char* plainName, std::vector<TemplateLine>& lines);

/// The entries alone: false when the template is unreadable for either
/// reason, as the install steps treat both alike.
bool ReadTemplateEntries(const std::string& version, const char* plainName, std::vector<std::string>& entries);

/// Splits a copy entry at its first "=" into the destination (trailing
/// blanks removed) and the source (leading blanks removed); false when the
/// entry holds no "=".
bool SplitCopyEntry(const std::string& entry, std::string& destination, std::string& source);

}  // namespace trilo
