#include "install/game_database_file.h"

#include <cstdio>

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
  return db.ReadString(text, observer);
}

GdbError WriteGameDatabaseFile(const GameDatabase& db, const std::string& path, bool folderActions) {
  if (PathExists(path)) {
    std::FILE* probe = OpenFile(path, "r+b");
    if (!probe) return GdbError::OpenForWriting;
    std::fclose(probe);
  }
  ReplacingFile file;
  if (!file.Open(path)) return GdbError::OpenForWriting;
  if (!file.Write(db.WriteString(folderActions)) || !file.Commit()) return GdbError::Writing;
  return GdbError::None;
}

}  // namespace trilo
