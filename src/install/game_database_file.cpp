#include "install/game_database_file.h"

#include <cstdio>
#include <utility>

#include "formats/gdb_drops.h"
#include "install/installer_app.h"
#include "platform/filesystem.h"
#include "platform/replacing_file.h"

namespace trilo {

GdbError ReadGameDatabaseFile(const std::string& path, GameDatabase& db, GdbReadObserver* observer) {
  std::string text;
  const Status read = ReadWholeFile(path, text);
  // A cut text would be read as a shorter database and written back so.
  if (!read) return read.During() == Status::Phase::Open ? GdbError::OpenForReading : GdbError::Reading;
  return db.ReadOwnedString(std::move(text), observer);
}

Status WriteGameDatabaseFile(const GameDatabase& db, const std::string& path, bool folderActions,
                             InstallRecord& record) {
  if (PathExists(path)) {
    std::FILE* probe = nullptr;
    if (Status opened = OpenFile(path, "r+b", probe); !opened) return opened.At(Status::Phase::Open);
    std::fclose(probe);
  }
  ReplacingFile file;
  if (Status opened = OpenReplacing(file, path, record); !opened)
    return opened.IsRecordFailure() ? opened : opened.At(Status::Phase::Open);
  const std::string bytes = db.WriteString(folderActions);
  if (Status written = file.Write(bytes); !written) return written.At(Status::Phase::Write);
  RecordedChange change = record.BeforeWrite(path, &bytes);
  if (!change.Recorded()) return change.Recorded();
  const Status committed = file.Commit();
  change.Settle(committed.Ok());
  return committed ? committed : committed.At(Status::Phase::Write);
}

GdbError GdbWriteError(const Status& written) {
  if (written) return GdbError::None;
  return written.During() == Status::Phase::Open ? GdbError::OpenForWriting : GdbError::Writing;
}

MergeDrops FindMergeDrops(const InstallerApp& app) {
  MergeDrops drops;
  if (!app.Settings.GDB) return drops;
  drops.database = app.State.TOPDIR + app.ReadOldGameDir("SEASONDIR") + "game.gdb";
  GameDatabase installed;
  GdbDropFinder found(app.Settings.Version2002 != 0);
  if (ReadGameDatabaseFile(app.GameFile(drops.database), installed, &found) != GdbError::None) return drops;
  for (const GdbDrop& drop : found.Drops()) drops.lines.push_back(drop.line);
  return drops;
}

}  // namespace trilo
