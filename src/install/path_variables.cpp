#include <string>
#include <vector>

#include "install/installer_app.h"
#include "platform/system_info.h"
#include "text/code_page.h"
#include "text/text_util.h"

namespace trilo {

namespace {

// A value may hold its own placeholder (SeasonDir=${NEWSEASONDIR}Mod\), which
// would otherwise grow the text for ever. Past these bounds the expansion
// stops with the placeholder still visible, so callers see "${" and treat
// the text as unexpanded. A real line needs a handful of replacements; each
// one may move the whole text, so their number is what a hostile template
// of many such lines costs.
constexpr int kMaxReplacements = 100;
constexpr size_t kMaxExpandedLength = 32768;

struct Placeholder {
  const char* token;
  std::string (*value)(const InstallSettings&, const InstallState&);
};

#define OLD_VALUE(field) [](const InstallSettings&, const InstallState& st) { return st.field; }
#define NEW_VALUE(field) [](const InstallSettings& se, const InstallState&) { return se.field; }

const Placeholder kPlaceholders[] = {
    {"${TOPDIR}", OLD_VALUE(TOPDIR)},
    {"${PLAYERNAME}", OLD_VALUE(PLAYERNAME)},
    {"${PLAYERDIR}", [](const InstallSettings&, const InstallState& st) { return st.PLAYERNAME + "\\"; }},
    {"${OLDSEASONDIR}", OLD_VALUE(OLDSEASONDIR)},
    {"${OLDSAVEDIR}", OLD_VALUE(OLDSAVEDIR)},
    {"${OLDOPTIONSDIR}", OLD_VALUE(OLDOPTIONSDIR)},
    {"${OLDVCRDIR}", OLD_VALUE(OLDVCRDIR)},
    {"${OLDSOUNDDIR}", OLD_VALUE(OLDSOUNDDIR)},
    {"${OLDLOGDIR}", OLD_VALUE(OLDLOGDIR)},
    {"${OLDMOVIEDIR}", OLD_VALUE(OLDMOVIEDIR)},
    {"${OLDTRACKSDIR}", OLD_VALUE(OLDTRACKSDIR)},
    {"${OLDVEHICLESDIR}", OLD_VALUE(OLDVEHICLESDIR)},
    {"${OLDDRIVERSDIR}", OLD_VALUE(OLDDRIVERSDIR)},
    {"${NEWSEASONDIR}", NEW_VALUE(SeasonDir)},
    {"${NEWSAVEDIR}", NEW_VALUE(SaveDir)},
    {"${NEWOPTIONSDIR}", NEW_VALUE(OptionsDir)},
    {"${NEWVCRDIR}", NEW_VALUE(ReplayDir)},
    {"${NEWSOUNDDIR}", NEW_VALUE(SoundDir)},
    {"${NEWLOGDIR}", NEW_VALUE(LogDir)},
    {"${NEWMOVIEDIR}", NEW_VALUE(MovieDir)},
    {"${NEWTRACKSDIR}", NEW_VALUE(TracksDir)},
    {"${NEWVEHICLESDIR}", NEW_VALUE(VehiclesDir)},
    {"${NEWDRIVERSDIR}", NEW_VALUE(DriversDir)},
};

#undef OLD_VALUE
#undef NEW_VALUE

// Longer spans are no placeholder, whatever they hold.
constexpr size_t kLongestToken = sizeof "${NEWVEHICLESDIR}" - 1;

const Placeholder* FindPlaceholder(const std::string& text, size_t at, size_t length) {
  if (length > kLongestToken) return nullptr;
  const std::string span = text.substr(at, length);
  for (const Placeholder& p : kPlaceholders)
    if (EqualsIgnoreCase(span, p.token)) return &p;
  return nullptr;
}

}  // namespace

std::vector<std::string> PathVariableTokens() {
  std::vector<std::string> tokens;
  for (const Placeholder& p : kPlaceholders) tokens.push_back(p.token);
  return tokens;
}

bool HasUnexpandedPlaceholder(const std::string& text) {
  return FindText(text, "${", ActiveCodePage()) != std::string::npos;
}

void InstallerApp::ExpandPathVariables(std::string& text) const {
  const CodePage cp = ActiveCodePage();
  int replacements = 0;
  size_t searchFrom = 0;
  // The first "}" after the "$" looked at, shared by every "$" from `group`
  // on: a line of many "$" and a late "}" is searched once, not once per "$".
  size_t brace = std::string::npos;
  size_t group = 0;
  for (;;) {
    size_t dollar = FindChar(text, '$', cp, searchFrom);
    if (dollar == std::string::npos) return;
    if (brace == std::string::npos || brace < dollar) {
      brace = FindChar(text, '}', cp, dollar);
      group = dollar;
    }
    if (brace == std::string::npos) return;
    const size_t length = brace - dollar + 1;
    const Placeholder* p = FindPlaceholder(text, dollar, length);
    if (!p) {
      // Not a placeholder: leave it as written and look at the next "$".
      searchFrom = dollar + 1;
      continue;
    }
    const std::string value = p->value(Settings, State);
    if (++replacements > kMaxReplacements || text.size() - length + value.size() > kMaxExpandedLength) return;
    text.replace(dollar, length, value);
    // A value may bring in placeholders of its own: search again. From the
    // start, the search would only find again what it passed over before
    // `group`, whose spans all end before this one began; from `group` on,
    // spans may now end inside the value.
    searchFrom = group;
    brace = std::string::npos;
  }
}

}  // namespace trilo
