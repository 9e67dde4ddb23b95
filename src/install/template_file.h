#pragma once
#include <string>
#include <vector>

namespace trilo {

/// The entries of the template `plainName` ("dirs.txt", "files.txt") of a
/// version ("Full" reads "Full.dirs.txt"): every line, trimmed, that is
/// neither blank nor a "#" comment, in file order. False when the name would
/// not fit the game's tools (it is refused, not cut) or the file cannot be
/// read to its end: either way the template counts as unreadable.
bool ReadTemplateEntries(const std::string& version, const char* plainName, std::vector<std::string>& entries);

}  // namespace trilo
