#include <string>

#include "app/installer_app.h"
#include "platform/file_ops.h"
#include "platform/filesystem.h"
#include "text/line_reader.h"
#include "text/text_util.h"

namespace trilo {

bool InstallerApp::CreateTemplateDirectories() {
  EnterWorkingDir();
  std::string name;
  // A version name too long for the template name is refused, not cut.
  std::FILE* file = FormTemplateName(State.SelectedVersion, "dirs.txt", name) ? OpenFile(name, "rb") : nullptr;
  if (!file) {
    UI.ShowMessage("Error opening directory template");
    return false;
  }
  LineReader reader(file);
  std::string line;
  while (reader.Next(line) && !reader.Failed()) {
    std::string folder = Trim(line);
    if (folder.empty() || folder[0] == '#') continue;
    ExpandPathVariables(folder);
    if (CreateFolder(folder) == CreateFolderResult::Failed) {
      std::fclose(file);
      UI.ShowMessage("Error creating directory");
      return false;
    }
  }
  std::fclose(file);
  if (reader.Failed()) {
    // The template could not be read to its end: as unreadable as a missing one.
    UI.ShowMessage("Error opening directory template");
    return false;
  }
  return true;
}

}  // namespace trilo
