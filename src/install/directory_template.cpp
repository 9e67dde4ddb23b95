#include <string>
#include <vector>

#include "install/install_record.h"
#include "install/installer_app.h"
#include "install/template_file.h"
#include "platform/file_ops.h"

namespace trilo {

bool InstallerApp::CreateTemplateDirectories() {
  EnterWorkingDir();
  std::vector<std::string> folders;
  if (!ReadTemplateEntries(State.SelectedVersion, "dirs.txt", folders)) {
    UI.ShowMessage("Error opening directory template");
    return false;
  }
  for (std::string& folder : folders) {
    ExpandPathVariables(folder);
    if (Status recorded = Record->BeforeFolder(folder); !recorded) return ShowRecordFailure(recorded);
    if (!CreateFolder(folder)) {
      UI.ShowMessage("Error creating directory");
      return false;
    }
  }
  return true;
}

}  // namespace trilo
