#pragma once
#include <string>

// Paths as a person types and reads them on a command line. On Windows a
// typed path is only made full; the dialogs take paths as they are.

namespace trilo {

/// A typed path ("~/x", relative or absolute) as the full path the core
/// speaks; empty stays empty.
std::string PathFromUser(const std::string& typed);

/// A path of the core as the system writes it.
std::string PathForUser(const std::string& corePath);

}  // namespace trilo
