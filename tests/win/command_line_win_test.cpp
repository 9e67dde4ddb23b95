#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "formats/command_line.h"

namespace trilo {
namespace {

std::vector<std::string> SystemSplit(const std::string& line) {
  std::wstring wide(line.begin(), line.end());  // ASCII only
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &count);
  std::vector<std::string> words;
  for (int i = 0; i < count; ++i) {
    std::wstring w = argv[i];
    words.emplace_back(w.begin(), w.end());
  }
  LocalFree(argv);
  return words;
}

// The portable splitter must agree with the system's own on every line the
// POSIX side may be handed.
TEST(SplitCommandLineOnWindows, AgreesWithCommandLineToArgvW) {
  const char* lines[] = {
      "p a b",
      "\"C:\\My Tools\\fix.exe\" a",
      "C:\\dir\\\"x y\" z",
      "\"a\\\"b c",
      "p a\\\\b \\\\\\\\\"c d\" e",
      "p \\\"x\\\\\\\"y",
      "p \"\" \"\"\"\" x\"\"y",
      "p \"a\"\"b c\" d",
      "p \"\"\"a b",
      "p \"\"\"\"\"\"\" q",
      "p \"open to the end",
      "p trail\\ \"x\\\\\\\\\"",
      "p\t\"tab\tinside\"\t",
      "p a\"b\"\"c\"\"\"d e",
  };
  for (const char* line : lines) EXPECT_EQ(SplitCommandLine(line), SystemSplit(line)) << line;
}

}  // namespace
}  // namespace trilo
