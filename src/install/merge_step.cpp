#include "formats/game_database.h"
#include "install/game_database_file.h"
#include "install/install_record.h"
#include "install/installer_app.h"
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
  // The database the game sees is the one merged into and backed up.
  const std::string current = GameFile(database);

  const Status backedUp = RecordedCopy(current, backup);
  if (backedUp.IsRecordFailure()) return ShowRecordFailure(backedUp);
  if (!backedUp) {
    UI.ShowMessage("Failed to back up old game.gdb file");
    return false;
  }

  // Each failure shows the reader's own message first, then the step's.
  auto failed = [this](GdbError error, const char* step) {
    UI.ShowMessage(GdbErrorText(error));
    if (step) UI.ShowMessage(step);
    return false;
  };
  GameDatabase installed;
  GameDatabase source;
  GdbError error = ReadGameDatabaseFile(current, installed);
  if (error != GdbError::None) return failed(error, "Couldn't read old game.gdb file");
  error = ReadGameDatabaseFile(sourceName, source);
  if (error != GdbError::None) return failed(error, "Couldn't read source game.gdb file");
  error = installed.Merge(source);
  if (error != GdbError::None) return failed(error, nullptr);
  const Status written = WriteGameDatabaseFile(installed, database, Settings.Version2002 != 0, *Record);
  if (written.IsRecordFailure()) return ShowRecordFailure(written);
  return written || failed(GdbWriteError(written), nullptr);
}

}  // namespace trilo
