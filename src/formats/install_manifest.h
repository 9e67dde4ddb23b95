#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "text/content_hash.h"

// The manifest of an install record: plain text, CR LF, a header and then
// one line per thing the install created or replaced, in the order it
// happened. Each line is written before the action it tells of, so that an
// install cut short is recorded up to the action it was at.

namespace trilo {

/// How an install ended, and what an undo left of it: PartlyUndone is an
/// undo that left files changed since the install, to be finished later.
enum class RecordState { CutShort, Completed, Failed, PartlyUndone };

/// "cut short", "completed", "failed", "partly undone".
const char* RecordStateText(RecordState state);

enum class RecordAction {
  CreatedFolder,
  CreatedFile,
  ReplacedFile,  ///< the file that was there is kept in the record
  /// A file written under a name of its own and then renamed over its
  /// target: if it is there at all, an install stopped before the rename.
  TemporaryFile,
};

struct RecordEntry {
  RecordAction action = RecordAction::CreatedFile;
  /// Relative to the game folder, or a full path when outside of it.
  std::string path;
  /// A replaced file's kept copy, relative to the record's folder.
  std::string kept;
  /// Whether the size and hash of what the install wrote are known.
  bool hashed = false;
  unsigned long long size = 0;
  uint64_t hash = 0;
  HashAlgorithm algorithm = HashAlgorithm::Xxh64;
};

struct RecordHeader {
  RecordState state = RecordState::CutShort;
  std::string title;
  std::string package;  ///< the package folder
  std::string version;
  std::string date;
  std::string game;     ///< the game folder at the time
};

struct InstallManifest {
  RecordHeader header;
  std::vector<RecordEntry> entries;
};

/// The header as an install begins it, an empty line after it.
std::string ManifestHeaderText(const RecordHeader& header);

/// The state is written over in place when the install ends: it stands at
/// this offset, padded to this width, in every header.
extern const size_t kManifestStateOffset;
constexpr size_t kManifestStateWidth = 9;
std::string ManifestStateField(RecordState state);
/// The manifest's text with its state line saying `state`, however wide the
/// field was written (an undo rewrites the whole manifest).
std::string WithManifestState(const std::string& text, RecordState state);

/// One entry's line, CR LF included.
std::string ManifestEntryLine(const RecordEntry& entry);

/// The line that gives the size and hash of a file once written, for a file
/// whose content was not known before (a shortcut the system saved itself).
std::string ManifestWroteLine(const std::string& path, unsigned long long size, uint64_t hash);

/// Reads a manifest. Unknown lines are passed over, and so is a last line
/// without its line end: it was being written when the install stopped, so
/// its action never began. A "wrote" line completes the latest entry of its
/// path.
InstallManifest ParseManifest(const std::string& text);

}  // namespace trilo
