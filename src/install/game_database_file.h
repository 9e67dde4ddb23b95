#pragma once
#include <string>

#include "formats/game_database.h"

namespace trilo {

class InstallRecord;

/// Reads a game database file into `db` (adding to what it holds), telling
/// `observer`, when given, what the reader met.
GdbError ReadGameDatabaseFile(const std::string& path, GameDatabase& db, GdbReadObserver* observer = nullptr);

/// Writes `db` over the file at `path`. The file is replaced only once
/// everything was written; an existing file that cannot be opened for
/// writing (read-only, in use) is refused up front, as writing in place
/// would have been, rather than replaced behind its back. `record`, when
/// given, is told of the file right before it is replaced; when it fails,
/// the result is GdbError::Writing and the file is as it was.
GdbError WriteGameDatabaseFile(const GameDatabase& db, const std::string& path, bool folderActions,
                               InstallRecord* record = nullptr);

}  // namespace trilo
