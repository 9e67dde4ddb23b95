#pragma once
#include <string>

namespace trilo {

/// The whole content of a file named by its POSIX path; empty when it
/// cannot be read.
std::string ReadNativeFile(const std::string& nativePath);

}  // namespace trilo
