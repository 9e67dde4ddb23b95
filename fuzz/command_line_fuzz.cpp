// Feeds arbitrary bytes to the command-line splitter. Beyond crashes, hangs
// and sanitizer reports it checks that every line gives at least the
// program's word, and that words quoted back the way Windows programs are
// told to quote them split into the same words again.
#include <cstdint>
#include <string>
#include <vector>

#include "formats/command_line.h"
#include "fuzz_support.h"

namespace {

using trilo::fuzz::Check;

const char kTarget[] = "command_line_fuzz";

// One argument as it must be written to reach a program unchanged: in
// quotes when it holds blanks or quotes (or is empty), with the backslashes
// before a quote doubled and the quote itself escaped.
std::string Quote(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) return word;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') out.append(backslashes * 2 + 1, '\\');
    else out.append(backslashes, '\\');
    out += c;
    backslashes = 0;
  }
  out.append(backslashes * 2, '\\');
  return out + '"';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> words = trilo::SplitCommandLine(line);
  Check(!words.empty(), kTarget, "no word at all, not even the program's");
  for (size_t i = 1; i < words.size(); ++i)
    Check(words[i].size() <= line.size(), kTarget, "a word longer than the line");

  // The program's word has no escapes: in quotes it may hold anything but a quote.
  std::string again = words[0].find('"') == std::string::npos ? "\"" + words[0] + "\"" : "p";
  for (size_t i = 1; i < words.size(); ++i) again += " " + Quote(words[i]);
  const std::vector<std::string> split = trilo::SplitCommandLine(again);
  if (words[0].find('"') == std::string::npos) Check(split[0] == words[0], kTarget, "the program's word changed");
  Check(split.size() == words.size(), kTarget, "quoted back, the words split differently");
  for (size_t i = 1; i < words.size(); ++i) Check(split[i] == words[i], kTarget, "quoted back, a word changed");
  return 0;
}
