#pragma once
#include <string>

namespace trilo {

/// A Windows path as the core speaks it ("\" or "/" separators, an absolute
/// POSIX path written "\a\b") turned into a POSIX path. A component that does
/// not exist under its exact name is matched without regard to ASCII case in
/// its folder, as packages written on Windows spell names in any case; once a
/// component is missing even so, the rest is kept as written (it may be about
/// to be created). A path too long for the system is returned as it is, so
/// that using it fails at once.
std::string ToNativePath(const std::string& path);

/// Tells the folder cache that this program made `nativePath` (a file or a
/// folder), so that the cache stays valid without reading the folder again.
void NoteCreated(const std::string& nativePath);

/// Tells the folder cache that this program removed `nativePath`, or renamed
/// it away.
void NoteRemoved(const std::string& nativePath);

/// The current folder as a POSIX path; empty when it cannot be told.
std::string NativeCurrentFolder();

/// A POSIX path as the core speaks it: "/" becomes "\".
std::string FromNativePath(const std::string& path);

}  // namespace trilo
