#include "install/game_database_file.h"

#include <cstdio>
#include <utility>

#include "install/install_record.h"
#include "platform/filesystem.h"
#include "platform/replacing_file.h"

namespace trilo {

GdbError ReadGameDatabaseFile(const std::string& path, GameDatabase& db, GdbReadObserver* observer) {
  std::string text;
  switch (ReadWholeFile(path, text)) {
    case FileRead::OpenFailed: return GdbError::OpenForReading;
    // A cut text would be read as a shorter database and written back so.
    case FileRead::ReadFailed: return GdbError::Reading;
    case FileRead::Done: break;
  }
  return db.ReadOwnedString(std::move(text), observer);
}

GdbError WriteGameDatabaseFile(const GameDatabase& db, const std::string& path, bool folderActions,
                               InstallRecord* record) {
  if (PathExists(path)) {
    std::FILE* probe = OpenFile(path, "r+b");
    if (!probe) return GdbError::OpenForWriting;
    std::fclose(probe);
  }
  ReplacingFile file;
  switch (OpenReplacing(file, path, record)) {
    case ReplacingOpen::Opened: break;
    case ReplacingOpen::RecordFailed: return GdbError::Writing;
    case ReplacingOpen::OpenFailed: return GdbError::OpenForWriting;
  }
  const std::string bytes = db.WriteString(folderActions);
  if (!file.Write(bytes)) return GdbError::Writing;
  if (record && !record->BeforeWrite(path, &bytes)) return GdbError::Writing;
  const bool committed = file.Commit();
  if (record) record->AfterWrite(committed);
  return committed ? GdbError::None : GdbError::Writing;
}

}  // namespace trilo
