#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Task-sized file operations of the install steps. Paths are Windows paths,
// mapped by the POSIX implementation at this boundary.

namespace trilo {

/// The outcome of one copy, with the error numbers a copy-log line shows,
/// taken right after the copy failed: the C library's errno and the Windows
/// error code. On Windows the code is GetLastError() and errno is what the
/// runtime library derives from it for its own file functions (CopyFileA
/// leaves errno alone). On POSIX errno is the system's and the code is the
/// one Windows gives for the same failure (2 file not found, 3 path not
/// found, 5 access denied, 32 sharing violation, 112 disk full...), so a
/// modder reads the same codes on every platform.
struct CopyOutcome {
  bool ok = false;
  bool stopped = false;  ///< the announcement refused the copy; nothing was written
  int errnoValue = 0;
  unsigned long lastError = 0;
};

/// Copies one file, replacing the destination (CopyFileA with
/// fail-if-exists false). On POSIX the content and the modification time
/// are copied with the kernel's copy, falling back to reads and writes; a
/// destination that is the source itself is refused (a sharing violation
/// on Windows) and a failed copy leaves no cut destination behind. Only
/// files are copied: a pipe or a device at either end is refused as access
/// denied (5) at once, never waited on.
CopyOutcome CopyFileReplacing(const std::string& from, const std::string& to);

/// What a copy read of its source: its size and ContentHash value.
struct CopiedContent {
  unsigned long long size = 0;
  uint64_t hash = 0;
};

/// The same copy, telling `announce` what it is about to write once the
/// source is read and before the destination is touched (null content when
/// it cannot be told beforehand), so that the source is read only once. An
/// announcement that answers false stops the copy (`stopped`); a source that
/// cannot be opened or read fails as above and announces nothing.
CopyOutcome CopyFileReplacing(const std::string& from, const std::string& to,
                              const std::function<bool(const CopiedContent*)>& announce);

enum class CreateFolderResult { Created, AlreadyExists, Failed };

/// Creates one folder level (CreateDirectoryA without security attributes);
/// "already exists" (a folder or a file of that name) is told apart.
CreateFolderResult CreateFolder(const std::string& path);

/// Appends one line to a text file, creating it when missing; the line is
/// written as given plus CR LF. False when the file cannot be opened or
/// written.
bool AppendLine(const std::string& path, const std::string& line);

}  // namespace trilo
