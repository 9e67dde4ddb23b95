#include <string>

#include "install/installer_app.h"
#include "platform/system_info.h"
#include "text/code_page.h"
#include "install/line_rewriter.h"

namespace trilo {

namespace {

// Entries that tie the template's player to its own scene, car and name.
const char* const kDroppedKeys[] = {"SceneFile", "SceneDesc", "AIFile", "VehFile", "DsVehFile", "ModFile", "DriverName"};
// A full field of opponents in practice, qualifying, race and championship.
const char* const kOpponentKeys[] = {"PR_Opponents", "QR_Opponents", "GP_Opponents", "CH_Opponents"};

}  // namespace

bool InstallerApp::CreatePlayerProfile() {
  EnterWorkingDir();
  const CodePage cp = ActiveCodePage();
  const std::string telemetry = "TelemetryFile=\"" + Settings.ReplayDir + "_TEMP.SPT\"";
  auto rewrite = [&](const std::string& line, std::string& out) {
    out = line;
    size_t eq = FindChar(line, '=', cp);
    if (eq == std::string::npos) return true;
    // The game spells these keys exactly so: no case folding, no trimming.
    const std::string key = line.substr(0, eq);
    for (const char* dropped : kDroppedKeys)
      if (key == dropped) return false;
    if (key == "TelemetryFile") {
      out = telemetry;
      return true;
    }
    for (const char* opponents : kOpponentKeys)
      if (key == opponents) {
        out = key + "=29";
        return true;
      }
    return true;
  };
  const std::string target =
      State.TOPDIR + Settings.SaveDir + State.PLAYERNAME + "\\" + State.PLAYERNAME + ".PLR";
  const Status rewritten = RewriteLines(GameFile(State.TemplatePlayerPath), target, rewrite, *Record);
  if (rewritten.IsRecordFailure()) return ShowRecordFailure(rewritten);
  if (rewritten) return true;
  UI.ShowMessage(RewriteFailureMessage(rewritten, {"Error opening old PLR file", "Error creating new PLR file", "Error writing new PLR file"}));
  return false;
}

}  // namespace trilo
