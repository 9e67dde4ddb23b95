#pragma once
#include <string>
#include <vector>

namespace trilo {

enum class Severity { Error, Warning };

/// One thing the checker has to say about a file of the package or the game.
struct Finding {
  std::string file;  ///< relative to the package folder, or a game file's full path
  int line = 0;      ///< 0 when no line applies
  Severity severity = Severity::Error;
  std::string text;
};

/// "FILE:LINE: error: TEXT", "FILE: warning: TEXT": the form compilers use,
/// so that editors can jump to the line.
std::string FormatFinding(const Finding& finding);

/// Everything a check has to say: the plan of a dry run, notes on what was
/// left out, and the findings.
struct CheckReport {
  std::vector<std::string> plan;
  std::vector<std::string> notes;
  std::vector<Finding> findings;
  unsigned codePage = 0;  ///< the code page the package's text was read in; 0 when not said

  void Add(const std::string& file, int line, Severity severity, const std::string& text);
  void Note(const std::string& text);
  /// Puts the findings in file then line order (the order found within a
  /// line) and drops repeats, which checking several versions gives.
  void Sort();
  int Count(Severity severity) const;
  /// The plan, the notes, the findings and the summary: the code page, then
  /// the closing "N errors, M warnings".
  std::string Text() const;
};

/// The name among `known` nearest to `name` without regard to case, when it
/// is near enough to be what was meant; "" otherwise.
std::string NearestName(const std::string& name, const std::vector<std::string>& known);

}  // namespace trilo
