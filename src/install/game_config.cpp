#include <string>

#include "install/installer_app.h"
#include "platform/profile.h"
#include "platform/system_info.h"
#include "text/code_page.h"
#include "install/line_rewriter.h"
#include "text/text_util.h"

namespace trilo {

namespace {

const char kComponents[] = "COMPONENTS";
// The game's own reader stops there; so does ours.
constexpr size_t kValueBuffer = 1024;

}  // namespace

std::string InstallerApp::ReadOldGameDir(const char* key) const {
  EnterWorkingDir();
  return ReadProfileString(kComponents, key, "", GameFile(State.OldConfigPath), kValueBuffer);
}

bool InstallerApp::ReadOldGameConfig() {
  for (const GameDirEntry& entry : kGameDirEntries) {
    std::string& oldValue = State.*entry.oldValue;
    oldValue = ReadOldGameDir(entry.key);
    if (oldValue.empty()) {
      UI.ShowMessage(std::string("Couldn't get ") + entry.key + " from existing config file");
      return false;
    }
  }
  // What the package leaves open stays where the game has it now.
  for (const GameDirEntry& entry : kGameDirEntries) {
    std::string& newValue = Settings.*entry.newValue;
    if (newValue.empty()) newValue = State.*entry.oldValue;
  }
  return true;
}

bool InstallerApp::WriteNewGameConfig() {
  EnterWorkingDir();
  const CodePage cp = ActiveCodePage();
  auto rewrite = [this, &cp](const std::string& line, std::string& out) {
    out = line;
    size_t eq = FindChar(line, '=', cp);
    if (eq == std::string::npos) return true;
    // The whole name before the first "=", blanks included, must be a key;
    // every such line is replaced, whatever section it stands in.
    const std::string name = line.substr(0, eq);
    for (const GameDirEntry& entry : kGameDirEntries) {
      if (EqualsIgnoreCase(name, entry.key)) {
        out = std::string(entry.key) + "=" + Settings.*entry.newValue;
        break;
      }
    }
    return true;
  };
  const Status rewritten =
      RewriteLines(GameFile(State.OldConfigPath), State.TOPDIR + Settings.ConfigName, rewrite, *Record);
  if (rewritten.IsRecordFailure()) return ShowRecordFailure(rewritten);
  if (rewritten) return true;
  UI.ShowMessage(RewriteFailureMessage(rewritten, {"Error opening old config file", "Error creating new config file", "Error writing new config file"}));
  return false;
}

}  // namespace trilo
