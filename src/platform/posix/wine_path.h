#pragma once
#include <string>

namespace trilo {

/// The Windows path under which a program run by Wine reaches a POSIX path.
/// Inside a Wine prefix's drive_c it is C:\...; under the prefix's
/// dosdevices\x: it is X:\...; anywhere else Z:\ and the whole path, as
/// Wine maps Z: to the root. A relative path is taken from the current
/// folder, and "." and ".." are resolved by name, as Windows resolves them.
/// A trailing separator is kept.
std::string WinePathFor(const std::string& nativePath);

/// The Wine prefix whose drive a POSIX path lies on (the folder holding its
/// drive_c or dosdevices); empty outside every prefix, where Z: reaches it
/// from any of them.
std::string WinePrefixOf(const std::string& nativePath);

}  // namespace trilo
