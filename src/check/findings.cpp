#include "check/findings.h"

#include <algorithm>
#include <tuple>

#include "text/text_util.h"

namespace trilo {

namespace {

// Edits (insert, delete, replace, swap of neighbours) from one name to the
// other: a swapped pair of letters is the commonest typo.
size_t EditDistance(const std::string& name, const std::string& other) {
  const std::string a = FoldCase(name), b = FoldCase(other);
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string FormatFinding(const Finding& f) {
  std::string out = f.file;
  if (f.line > 0) out += ":" + std::to_string(f.line);
  out += f.severity == Severity::Error ? ": error: " : ": warning: ";
  return out + f.text;
}

void CheckReport::Add(const std::string& file, int line, Severity severity, const std::string& text) {
  findings.push_back({file, line, severity, text});
}

void CheckReport::Note(const std::string& text) {
  if (std::find(notes.begin(), notes.end(), text) == notes.end()) notes.push_back(text);
}

void CheckReport::Sort() {
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    return std::tie(a.file, a.line) < std::tie(b.file, b.line);
  });
  auto same = [](const Finding& a, const Finding& b) {
    return a.file == b.file && a.line == b.line && a.severity == b.severity && a.text == b.text;
  };
  std::vector<Finding> kept;
  for (Finding& f : findings) {
    bool repeat = false;
    for (auto it = kept.rbegin(); it != kept.rend() && it->file == f.file && it->line == f.line; ++it)
      repeat = repeat || same(*it, f);
    if (!repeat) kept.push_back(std::move(f));
  }
  findings = std::move(kept);
}

int CheckReport::Count(Severity severity) const {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [severity](const Finding& f) { return f.severity == severity; }));
}

std::string CheckReport::Text() const {
  std::string out;
  for (const std::string& line : plan) out += line + "\n";
  for (const std::string& note : notes) out += "note: " + note + "\n";
  for (const Finding& f : findings) out += FormatFinding(f) + "\n";
  if (codePage) out += "text read in code page " + std::to_string(codePage) + "\n";
  out += std::to_string(Count(Severity::Error)) + " errors, " + std::to_string(Count(Severity::Warning)) +
         " warnings\n";
  return out;
}

std::string NearestName(const std::string& name, const std::vector<std::string>& known) {
  std::string best;
  size_t bestDistance = std::string::npos;
  for (const std::string& candidate : known) {
    const size_t d = EditDistance(name, candidate);
    if (d < bestDistance) {
      bestDistance = d;
      best = candidate;
    }
  }
  // A third of the name may be mistyped, and at least two letters of it.
  const size_t allowed = std::max<size_t>(2, name.size() / 3);
  return bestDistance <= allowed && best != name ? best : std::string();
}

}  // namespace trilo
