#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/status.h"

// Task-sized file operations of the install steps. Paths are Windows paths,
// mapped by the POSIX implementation at this boundary.

namespace trilo {

/// Copies one file, replacing the destination (CopyFileA with
/// fail-if-exists false). On POSIX the content and the modification time
/// are copied with the kernel's copy, falling back to reads and writes; a
/// destination that is the source itself is refused (a sharing violation
/// on Windows) and a failed copy leaves no cut destination behind. Only
/// files are copied: a pipe or a device at either end is refused as access
/// denied (5) at once, never waited on. A failure carries the error numbers
/// a copy-log line shows, taken right after the copy failed (Errno() and
/// WindowsCode()), so that a modder reads the same codes on every platform.
Status CopyFileReplacing(const std::string& from, const std::string& to);

/// What a copy read of its source: its size and ContentHash value.
struct CopiedContent {
  unsigned long long size = 0;
  uint64_t hash = 0;
};

/// What a copy tells before it writes, and what it may be asked then.
struct CopyNotice {
  /// What it read of its source; null when that cannot be told beforehand.
  const CopiedContent* content = nullptr;
  /// The destination spelt as its folder holds it, when the copy replaces
  /// a file there; empty when it makes a new one.
  std::string replaces;
  /// For a file the copy replaces: moves that file to `kept` (a rename, so
  /// on the same volume only), and the copy then writes a new file in its
  /// place instead of overwriting it. It acts on the very file the copy
  /// looked at, without looking again.
  std::function<Status(const std::string& kept)> moveAside;
};

/// What a copy tells before it writes.
using CopyAnnouncement = std::function<Status(CopyNotice&)>;

/// The same copy, telling `announce` what it is about to do once the
/// source is read and before the destination is touched, so that the source
/// is read and the destination looked at only once. A destination the copy
/// cannot change (a folder, a device, the source itself, a file that is
/// read-only or in use) is not announced: the copy fails as it would. An
/// announcement that fails stops the copy with its failure, nothing
/// written; a source that cannot be opened or read fails as above and
/// announces nothing.
Status CopyFileReplacing(const std::string& from, const std::string& to, const CopyAnnouncement& announce);

/// Creates one folder level (CreateDirectoryA without security attributes).
/// A name that is there already (a folder or a file) is no failure;
/// `existed`, when given, tells it apart.
Status CreateFolder(const std::string& path, bool* existed = nullptr);

/// Appends one line to a text file, creating it when missing; the line is
/// written as given plus CR LF.
Status AppendLine(const std::string& path, const std::string& line);

}  // namespace trilo
