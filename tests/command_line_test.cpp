#include <gtest/gtest.h>

#include "formats/command_line.h"

namespace trilo {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLine, ProgramWordHasItsOwnRule) {
  // No escapes in the program word: it ends at the next quote or blank.
  EXPECT_EQ(SplitCommandLine("\"C:\\My Tools\\fix.exe\" a"), (Words{"C:\\My Tools\\fix.exe", "a"}));
  EXPECT_EQ(SplitCommandLine("C:\\dir\\\"x y\" z"), (Words{"C:\\dir\\\"x", "y z"}));
  EXPECT_EQ(SplitCommandLine("\"a\\\"b c"), (Words{"a\\", "b", "c"}));
  EXPECT_EQ(SplitCommandLine("\"unclosed name"), (Words{"unclosed name"}));
  EXPECT_EQ(SplitCommandLine(""), (Words{""}));
  EXPECT_EQ(SplitCommandLine(" lead"), (Words{"", "lead"}));
  EXPECT_EQ(SplitCommandLine("prog\t \t"), (Words{"prog"}));
}

TEST(SplitCommandLine, QuotesAndBackslashesInArguments) {
  EXPECT_EQ(SplitCommandLine("p a\\\\b \\\\\\\\\"c d\" e"), (Words{"p", "a\\\\b", "\\\\c d", "e"}));
  EXPECT_EQ(SplitCommandLine("p \\\"x\\\\\\\"y"), (Words{"p", "\"x\\\"y"}));
  // Inside quotes "" gives one quote and ends the quoted part.
  EXPECT_EQ(SplitCommandLine("p \"a\"\"b c\" d"), (Words{"p", "a\"b", "c d"}));
  EXPECT_EQ(SplitCommandLine("p \"\" \"\"\"\" x\"\"y"), (Words{"p", "", "\" x\"y"}));
  // A run of three quotes outside gives one quote and leaves them closed.
  EXPECT_EQ(SplitCommandLine("p \"\"\"a b"), (Words{"p", "\"a", "b"}));
  EXPECT_EQ(SplitCommandLine("p \"open to the end"), (Words{"p", "open to the end"}));
  EXPECT_EQ(SplitCommandLine("p trail\\"), (Words{"p", "trail\\"}));
}

// What the installer quotes for its restart comes back word for word.
TEST(QuoteArgument, SplitsBackUnchanged) {
  const Words words = {"/game-exe=C:\\Program Files (x86)\\EA SPORTS\\F1 9902\\f1_9902.exe",
                       "/player=",
                       "C:\\ends in a folder\\",
                       "C:\\two\\\\",
                       "say \"hi\"",
                       "back\\\"quote",
                       "\\\\server\\share\\x y",
                       "\t tab"};
  std::string line = "prog";
  for (const std::string& word : words) line += " " + QuoteArgument(word);
  Words expected = {"prog"};
  expected.insert(expected.end(), words.begin(), words.end());
  EXPECT_EQ(SplitCommandLine(line), expected) << line;
  EXPECT_EQ(QuoteArgument("C:\\a b\\"), "\"C:\\a b\\\\\"");
}

}  // namespace
}  // namespace trilo
