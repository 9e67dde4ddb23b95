#pragma once
#include <string>

namespace trilo {
namespace test {

/// The fields of a shortcut as the lnkinfo reader shows them, in UTF-8.
/// An empty description means the shortcut has none.
struct ExpectedShortcut {
  std::string localPath;
  std::string description;
  std::string workingDir;
  std::string arguments;
  std::string iconLocation;
};

/// Reads a shortcut back with lnkinfo and checks its fields. On POSIX this
/// happens at once; a Windows build cannot start lnkinfo, so it hands the
/// file and the expectation to the check that runs after the suite.
void ExpectShortcut(const std::string& lnkPath, const ExpectedShortcut& expected);

/// The path a shortcut shows for a core path: on Windows the path itself,
/// on POSIX the one Wine users see (Z: and the path, outside a prefix).
std::string ShownPath(const std::string& corePath);

/// UTF-8 text in the system code page; empty when it cannot be written
/// there.
std::string SystemText(const std::string& utf8);

}  // namespace test
}  // namespace trilo
