#pragma once
#include <string>

namespace trilo {

/// A Windows path as the core speaks it ("\" or "/" separators, an absolute
/// POSIX path written "\a\b") turned into a POSIX path. A component that does
/// not exist under its exact name is matched without regard to ASCII case in
/// its folder, as packages written on Windows spell names in any case.
std::string ToNativePath(const std::string& path);

/// The current folder as a POSIX path; empty when it cannot be told.
std::string NativeCurrentFolder();

/// A POSIX path as the core speaks it: "/" becomes "\".
std::string FromNativePath(const std::string& path);

}  // namespace trilo
