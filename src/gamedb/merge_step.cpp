#include "app/installer_app.h"
#include "gamedb/game_database.h"
#include "platform/file_ops.h"
#include "text/text_util.h"

namespace trilo {

bool InstallerApp::MergeGameDatabase() {
  EnterWorkingDir();

  // A version name too long for the source's name is refused before
  // anything is touched; a shortened name could open another file.
  std::string sourceName;
  if (!FormTemplateName(State.SelectedVersion, "gdb.txt", sourceName)) {
    UI.ShowMessage("Couldn't read source game.gdb file");
    return false;
  }
  const std::string database = State.TOPDIR + State.OLDSEASONDIR + "game.gdb";
  const std::string backup = database + ".bak";

  if (!CopyFileReplacing(database, backup).ok) {
    UI.ShowMessage("Failed to back up old game.gdb file");
    return false;
  }

  GameDatabase installed;
  GameDatabase source;
  if (!installed.Read(database, UI)) {
    UI.ShowMessage("Couldn't read old game.gdb file");
    return false;
  }
  if (!source.Read(sourceName, UI)) {
    UI.ShowMessage("Couldn't read source game.gdb file");
    return false;
  }
  if (!installed.Merge(source, UI)) return false;
  return installed.Write(database, Settings.Version2002 != 0, UI);
}

}  // namespace trilo
