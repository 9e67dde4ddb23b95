#pragma once
#include <string>
#include <vector>

#include "test_support.h"

namespace trilo {
namespace test {

/// The core path of a helper program built beside the tests, without its
/// extension (CreateProcess and the POSIX search both find it so).
inline std::string HelperProgram(const std::string& name) {
  std::string dir = TRILO_TEST_BIN_DIR;
#ifdef _WIN32
  // A Windows build made on a Linux host runs under Wine, where Z: is the root.
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
#endif
  return CorePath(dir) + "\\" + name;
}

/// A core path as an argument of a program: arguments reach a native
/// program unchanged, so on POSIX it is given the native path.
inline std::string ArgPath(const std::string& corePath) { return SystemPath(corePath); }

/// What record_args wrote: its current folder, then its arguments.
struct Record {
  bool found = false;
  std::string folder;
  std::vector<std::string> args;
};

inline Record ReadRecord(const std::string& path) {
  Record r;
  if (!FileExists(path)) return r;
  r.found = true;
  const std::string text = ReadFile(path);
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  if (!lines.empty()) {
    r.folder = lines[0];
    r.args.assign(lines.begin() + 1, lines.end());
  }
  return r;
}

}  // namespace test
}  // namespace trilo
