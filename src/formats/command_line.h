#pragma once
#include <string>
#include <vector>

namespace trilo {

/// Splits a command line into words as a Windows program's start-up code
/// does (the rules of CommandLineToArgvW). The first word, the program, ends
/// at the next blank, or when it starts with a quote at the next quote, with
/// no escapes. In the other words blanks inside quotes are kept, 2n
/// backslashes and a quote give n backslashes and open or close the quotes,
/// 2n+1 backslashes and a quote give n backslashes and a literal quote, and
/// "" inside quotes gives one quote and ends the quoted part (in a run of
/// quotes, every third counting the opening one is literal). Always at least
/// one word, the first possibly empty.
std::vector<std::string> SplitCommandLine(const std::string& line);

/// One word in quotes, written so that SplitCommandLine (and
/// CommandLineToArgvW) gives it back unchanged as a word after the first:
/// backslashes before a quote, and at the end, doubled, a quote escaped.
std::string QuoteArgument(const std::string& word);

}  // namespace trilo
