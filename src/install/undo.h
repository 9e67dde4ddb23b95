#pragma once
#include <string>
#include <vector>

#include "formats/install_manifest.h"
#include "install/interaction.h"

namespace trilo {

/// One install's record as found in the game folder.
struct InstalledRecord {
  std::string name;     ///< its folder's name, "0003-Classic Mod Setup"
  unsigned long number = 0;
  std::string folder;   ///< full, ending in "\"
  InstallManifest manifest;
};

/// The records in a game folder (full, ending in "\"), newest first.
std::vector<InstalledRecord> ListInstalledRecords(const std::string& gameFolder);

/// The record that `name` names: "last" (the newest), its folder's name, or
/// its number; nullptr when none.
const InstalledRecord* FindInstalledRecord(const std::vector<InstalledRecord>& records, const std::string& name);

/// A record newer than `record` that lists a path `record` lists too;
/// nullptr when none. `path` tells the first such path.
const InstalledRecord* LaterRecordTouching(const std::vector<InstalledRecord>& records,
                                           const InstalledRecord& record, std::string& path);

/// The records, newest first, one line each: number, title and version,
/// date, state and counts.
std::string InstalledRecordsText(const std::vector<InstalledRecord>& records);

enum class UndoStep {
  Restore,       ///< the kept copy goes back in place of what the install wrote
  RemoveFile,
  RemoveFolder,  ///< when empty
  DropKept,      ///< the original is back already; only the kept copy goes
  LeaveChanged,  ///< changed since the install: left as it is, and reported
  Nothing,       ///< never happened, or undone already
};

struct UndoAction {
  UndoStep step = UndoStep::Nothing;
  std::string shown;  ///< as the manifest names it
  std::string path;   ///< full
  std::string kept;   ///< full path of the kept copy, for a replaced file
  bool replaced = false;
};

/// What undoing a record will do, decided before anything is touched: the
/// manifest's entries newest first. A file whose hash differs from the one
/// the install wrote is left, unless `force`; so is the last entry of an
/// install cut short, which may have stopped halfway, never.
struct UndoPlan {
  std::string gameFolder;
  const InstalledRecord* record = nullptr;
  std::vector<UndoAction> actions;
  int restores = 0, fileRemovals = 0, folderRemovals = 0;
  std::vector<std::string> changed;  ///< what will be left as it is
};

UndoPlan PlanUndo(const std::string& gameFolder, const InstalledRecord& record, bool force);

/// What will be restored and removed, for the confirmation.
std::string UndoSummary(const UndoPlan& plan);

struct UndoOutcome {
  bool ok = true;
  std::string failure;                 ///< the message when not ok
  /// Files changed since the install were left as they are: the record
  /// stays, marked "partly undone", for a later undo to finish.
  bool incomplete = false;
  std::vector<std::string> changed;    ///< files left as they are
  std::vector<std::string> leftFolders;  ///< folders left because something is in them
  bool recordRemoved = false;
};

/// Carries the plan out, showing each entry on the progress display. On a
/// failure it stops there and the record stays, so that the undo can run
/// again. When it left files changed since the install, the record stays
/// too, as "partly undone" (a replaced file left as it is keeps its
/// original there). Otherwise it is removed, and trilo-records with it
/// when that is left empty.
UndoOutcome RunUndo(const UndoPlan& plan, InstallProgress& progress);

/// The message about what an undo left as it was; empty when nothing.
std::string UndoLeftText(const UndoOutcome& outcome, const UndoPlan& plan);

}  // namespace trilo
