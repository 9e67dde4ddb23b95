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

/// What a copy tells before it writes.
using CopyAnnouncement = std::function<Status(const CopiedContent*)>;

/// The same copy, telling `announce` what it is about to write once the
/// source is read and before the destination is touched (null content when
/// it cannot be told beforehand), so that the source is read only once. An
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
