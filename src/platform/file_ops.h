#pragma once
#include <string>

// Task-sized file operations of the install steps. Paths are Windows paths,
// mapped by the POSIX implementation at this boundary.

namespace trilo {

/// The outcome of one copy, with the error numbers a copy-log line shows:
/// the C library's errno and the Windows error code (GetLastError() on
/// Windows; on POSIX the Windows code that matches errno: 2, 3, 5, 32, 80,
/// 112...), so a modder reads the same codes on every platform.
struct CopyOutcome {
  bool ok = false;
  int errnoValue = 0;
  unsigned long lastError = 0;
};

/// Copies one file, replacing the destination (CopyFileA with
/// fail-if-exists false). On POSIX the content and the modification time
/// are copied with the kernel's copy.
CopyOutcome CopyFileReplacing(const std::string& from, const std::string& to);

enum class CreateFolderResult { Created, AlreadyExists, Failed };

/// Creates one folder level (CreateDirectoryA without security attributes);
/// "already exists" (a folder or a file of that name) is told apart.
CreateFolderResult CreateFolder(const std::string& path);

/// Appends one line to a text file, creating it when missing; the line is
/// written as given plus CR LF. False when the file cannot be opened or
/// written.
bool AppendLine(const std::string& path, const std::string& line);

}  // namespace trilo
