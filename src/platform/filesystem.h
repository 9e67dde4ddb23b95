#pragma once
#include <cstdio>
#include <string>
#include <vector>

// Files and folders. Every path is a Windows path ("\" separators); the POSIX
// implementation maps it at this boundary.

namespace trilo {

/// The current folder, without a trailing separator unless it is a root.
std::string GetCurrentFolder();
bool SetCurrentFolder(const std::string& path);

/// Whether a status query on the path succeeds (a file or a folder).
bool PathExists(const std::string& path);

/// What a status query tells of a path.
struct FileStatus {
  bool exists = false;
  bool folder = false;
  unsigned long long size = 0;  ///< of a file
};
FileStatus GetFileStatus(const std::string& path);

/// fopen in binary mode ("rb", "wb", "ab", "r+b"...): line ends are the
/// caller's business, so files read and write alike on every platform.
/// Only regular files open: a folder, a pipe or a device is refused (on
/// POSIX without waiting for a FIFO's other end), as none of them holds
/// what the installer reads or writes.
std::FILE* OpenFile(const std::string& path, const char* mode);

/// How reading a whole file ended.
enum class FileRead { Done, OpenFailed, ReadFailed };

/// The whole content of a file, read in binary mode.
FileRead ReadWholeFile(const std::string& path, std::string& bytes);

/// One entry of a folder.
struct FolderEntry {
  std::string name;
  bool isFolder = false;
};

/// The entries of a folder, "." and ".." left out, in no particular order;
/// false when it cannot be read. A link counts as what it leads to. On POSIX
/// a name the code page cannot hold is left out (and noted as refused).
bool ReadFolder(const std::string& path, std::vector<FolderEntry>& entries);

/// Renames `from` over `to`, replacing it.
bool RenameReplacing(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);

}  // namespace trilo
