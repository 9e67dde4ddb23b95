#pragma once
#include <string>
#include <vector>

#include "formats/game_database.h"
#include "install/install_record.h"
#include "platform/status.h"

namespace trilo {

class InstallerApp;

/// Reads a game database file into `db` (adding to what it holds), telling
/// `observer`, when given, what the reader met.
GdbError ReadGameDatabaseFile(const std::string& path, GameDatabase& db, GdbReadObserver* observer = nullptr);

/// Writes `db` over the file at `path`. The file is replaced only once
/// everything was written; an existing file that cannot be opened for
/// writing (read-only, in use) is refused up front (Phase::Open), as
/// writing in place would have been, rather than replaced behind its back.
/// `record` is told of the file right before it is replaced; after any
/// failure the file is as it was.
Status WriteGameDatabaseFile(const GameDatabase& db, const std::string& path, bool folderActions,
                             InstallRecord& record = InstallRecord::Unrecorded());

/// The game database error that a failed write shows: OpenForWriting for a
/// file refused up front, Writing for the rest; None for success.
GdbError GdbWriteError(const Status& written);

/// What the merge step's rewrite of the game's database will drop.
struct MergeDrops {
  std::string database;    ///< the file, as the merge step names it
  std::vector<int> lines;  ///< where each value line, block or section dropped begins, in order
};

/// Looks, read only, at the database the merge step will rewrite: the one
/// in the season folder the game's configuration names (SEASONDIR), which
/// is read here ahead of the install for it. Comments are not counted: a
/// person is asked about losing data, not notes. Nothing is found without
/// GDB, or when the file cannot be read (the step then says so itself).
/// Needs TOPDIR and the game configuration's path of the install state.
MergeDrops FindMergeDrops(const InstallerApp& app);

}  // namespace trilo
