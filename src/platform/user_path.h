#pragma once
#include <string>

// Paths as a person types and reads them in a terminal. POSIX only: the
// Windows program takes paths from its dialogs as they are.

namespace trilo {

/// A typed path ("~/x", relative or absolute) as the full path the core
/// speaks; empty stays empty.
std::string PathFromUser(const std::string& typed);

/// A path of the core as the system writes it.
std::string PathForUser(const std::string& corePath);

}  // namespace trilo
