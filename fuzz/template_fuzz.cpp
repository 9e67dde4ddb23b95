// Feeds arbitrary bytes to the template reader as "files.txt" in a folder
// of its own, splits each entry as the copy step does and expands the
// placeholders of both sides, with placeholder values taken from the
// template's own entries, so that values refer to themselves and to each
// other. Beyond crashes, hangs and sanitizer reports it checks the entries
// against a plain reading of the lines, that an expansion never grows past
// its bound, and that with values free of "$" every placeholder goes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "install/installer_app.h"
#include "install/template_file.h"
#include "text/text_util.h"

namespace {

using trilo::fuzz::Check;

const char kTarget[] = "template_fuzz";
// The expansion's own bounds.
constexpr size_t kMaxExpanded = 32768;
constexpr size_t kMaxReplacements = 100;
const char* const kTokens[] = {
    "${TOPDIR}",         "${PLAYERNAME}",    "${PLAYERDIR}",      "${OLDSEASONDIR}",  "${OLDSAVEDIR}",
    "${OLDOPTIONSDIR}",  "${OLDVCRDIR}",     "${OLDSOUNDDIR}",    "${OLDLOGDIR}",     "${OLDMOVIEDIR}",
    "${OLDTRACKSDIR}",   "${OLDVEHICLESDIR}", "${OLDDRIVERSDIR}", "${NEWSEASONDIR}",  "${NEWSAVEDIR}",
    "${NEWOPTIONSDIR}",  "${NEWVCRDIR}",     "${NEWSOUNDDIR}",    "${NEWLOGDIR}",     "${NEWMOVIEDIR}",
    "${NEWTRACKSDIR}",   "${NEWVEHICLESDIR}", "${NEWDRIVERSDIR}",
};

// The entries as the template's rules give them, read independently.
std::vector<std::string> PlainEntries(const std::string& text) {
  std::vector<std::string> entries;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    size_t b = pos, e = end;
    auto white = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    while (b < e && white(text[b])) ++b;
    while (e > b && white(text[e - 1])) --e;
    if (e > b && text[b] != '#') entries.push_back(text.substr(b, e - b));
    pos = end + 1;
  }
  return entries;
}

// The reference is no code under test: the fuzzer need not watch it, which
// would make it the slowest part by far.
#define NOT_WATCHED __attribute__((no_sanitize("coverage")))

NOT_WATCHED std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// The expansion as the rules state it, plainly and slowly: the first "$",
// the first "}" after it, and after each replacement from the start again.
NOT_WATCHED std::string Reference(std::string text, const std::vector<std::pair<std::string, std::string>>& values) {
  size_t replacements = 0, from = 0;
  for (;;) {
    const size_t dollar = text.find('$', from);
    if (dollar == std::string::npos) return text;
    const size_t brace = text.find('}', dollar);
    if (brace == std::string::npos) return text;
    const size_t length = brace - dollar + 1;
    const std::string span = length <= 32 ? Upper(text.substr(dollar, length)) : std::string();
    const std::string* value = nullptr;
    for (const auto& v : values)
      if (v.first == span) value = &v.second;
    if (!value) {
      from = dollar + 1;
      continue;
    }
    if (++replacements > kMaxReplacements || text.size() - length + value->size() > kMaxExpanded) return text;
    text.replace(dollar, length, *value);
    from = 0;
  }
}

bool HasToken(const std::string& text) {
  const std::string upper = Upper(text);
  for (const char* token : kTokens)
    if (upper.find(token) != std::string::npos) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const trilo::fuzz::InPrivateFolder in;
  const std::string text(reinterpret_cast<const char*>(data), size);
  trilo::fuzz::WriteWholeFile("files.txt", text);

  std::vector<std::string> entries;
  Check(trilo::ReadTemplateEntries("", "files.txt", entries).Ok(), kTarget, "a written template cannot be read");
  Check(entries == PlainEntries(text), kTarget, "the entries differ from the template's lines");

  trilo::SilentInteraction ui;
  trilo::InstallerApp app(ui);
  std::vector<std::string*> values = {&app.State.TOPDIR,       &app.State.PLAYERNAME,   &app.State.OLDSEASONDIR,
                                      &app.State.OLDSAVEDIR,   &app.State.OLDVCRDIR,    &app.Settings.SeasonDir,
                                      &app.Settings.SaveDir,   &app.Settings.ReplayDir, &app.Settings.VehiclesDir,
                                      &app.Settings.TracksDir, &app.Settings.DriversDir};
  bool plainValues = true;
  size_t longestValue = 1;  // PLAYERDIR's "\"
  for (size_t i = 0; i < values.size() && !entries.empty(); ++i) {
    *values[i] = entries[i % entries.size()].substr(0, 64 + i * 8);
    plainValues = plainValues && values[i]->find_first_of("${}") == std::string::npos;
    longestValue = std::max(longestValue, values[i]->size() + 1);
  }

  // The same values by placeholder; the ones not set are empty.
  std::vector<std::pair<std::string, std::string>> byToken;
  for (const char* token : kTokens) byToken.emplace_back(token, "");
  auto set = [&byToken](const char* token, const std::string& value) {
    for (auto& v : byToken)
      if (v.first == token) v.second = value;
  };
  set("${TOPDIR}", app.State.TOPDIR);
  set("${PLAYERNAME}", app.State.PLAYERNAME);
  set("${PLAYERDIR}", app.State.PLAYERNAME + "\\");
  set("${OLDSEASONDIR}", app.State.OLDSEASONDIR);
  set("${OLDSAVEDIR}", app.State.OLDSAVEDIR);
  set("${OLDVCRDIR}", app.State.OLDVCRDIR);
  set("${NEWSEASONDIR}", app.Settings.SeasonDir);
  set("${NEWSAVEDIR}", app.Settings.SaveDir);
  set("${NEWVCRDIR}", app.Settings.ReplayDir);
  set("${NEWVEHICLESDIR}", app.Settings.VehiclesDir);
  set("${NEWTRACKSDIR}", app.Settings.TracksDir);
  set("${NEWDRIVERSDIR}", app.Settings.DriversDir);

  for (const std::string& entry : entries) {
    const size_t eq = entry.find('=');
    std::string sides[2] = {eq == std::string::npos ? entry : trilo::TrimRight(entry.substr(0, eq)),
                            eq == std::string::npos ? "" : trilo::TrimLeft(entry.substr(eq + 1))};
    for (std::string& side : sides) {
      const std::string before = side;
      app.ExpandPathVariables(side);
      Check(side == Reference(before, byToken), kTarget, "the expansion differs from the plain reading of its rules");
      Check(side.size() <= std::max(before.size(), kMaxExpanded), kTarget, "an expansion grew past its bound");
      // Each replacement then uses up one "$" for good: within the bounds,
      // nothing can be left that names a placeholder.
      const size_t dollars = static_cast<size_t>(std::count(before.begin(), before.end(), '$'));
      if (plainValues && dollars <= kMaxReplacements && before.size() + dollars * longestValue < kMaxExpanded) {
        Check(!HasToken(side), kTarget, "a placeholder was left unexpanded");
      }
    }
  }
  return 0;
}
