#pragma once
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/status.h"
#include "text/content_hash.h"

// Files and folders. Every path is a Windows path ("\" separators); the POSIX
// implementation maps it at this boundary.

namespace trilo {

/// The current folder, without a trailing separator unless it is a root.
std::string GetCurrentFolder();
Status SetCurrentFolder(const std::string& path);

/// Whether a status query on the path succeeds (a file or a folder).
bool PathExists(const std::string& path);

/// What a status query tells of a path.
struct FileStatus {
  bool exists = false;
  bool folder = false;
  unsigned long long size = 0;  ///< of a file
  bool special = false;  ///< neither a file nor a folder: a device, a pipe, a socket
};
FileStatus GetFileStatus(const std::string& path);

/// fopen in binary mode ("rb", "wb", "ab", "r+b"...): line ends are the
/// caller's business, so files read and write alike on every platform.
/// Only regular files open: a folder, a pipe or a device is refused (on
/// POSIX without waiting for a FIFO's other end), as none of them holds
/// what the installer reads or writes. `file` is null on a failure.
Status OpenFile(const std::string& path, const char* mode, std::FILE*& file);

/// The whole content of a file, read in binary mode; a failure says
/// whether it came while opening (Phase::Open) or reading (Phase::Read).
Status ReadWholeFile(const std::string& path, std::string& bytes);

/// One entry of a folder.
struct FolderEntry {
  std::string name;
  bool isFolder = false;  ///< a folder, or a link to one
  bool isLink = false;    ///< a symbolic link (a reparse point on Windows)
};

/// The entries of a folder, "." and ".." left out, in no particular order.
/// On POSIX a name the code page cannot hold is left out (and noted as
/// refused).
Status ReadFolder(const std::string& path, std::vector<FolderEntry>& entries);

/// The bytes of a regular file, handed to `take` piece by piece. Anything
/// else fails to open: a device or a pipe could block or be drained.
Status ReadFileChunks(const std::string& path, const std::function<void(const char*, size_t)>& take);
/// The whole file fed to `hash`; ok when it was read to its end.
Status HashWholeFile(const std::string& path, ContentHash& hash);

/// Renames `from` over `to`, replacing it.
Status RenameReplacing(const std::string& from, const std::string& to);
/// Gives the file `existing` a second name, `to` (a hard link); fails when
/// `to` exists, the volume has no links, or they lie on two volumes.
Status LinkFile(const std::string& existing, const std::string& to);
Status RemoveFile(const std::string& path);
/// Moves a file to `to`, replacing what is there: renamed, or where that
/// fails (another volume) copied and then removed.
Status RelocateFile(const std::string& from, const std::string& to);

/// Whether both paths name one existing file, under one name or two.
bool SameFile(const std::string& a, const std::string& b);

/// The path with its last step spelled as its folder holds it; as given
/// when there is nothing of that name.
std::string ActualName(const std::string& path);

/// Removes an empty folder; a failure tells NotEmpty() and Missing() apart.
Status RemoveFolder(const std::string& path);

}  // namespace trilo
