#pragma once
#include <cstdio>
#include <string>

#include "platform/status.h"

// The game's configuration file and its player files are read for exclusive
// use while a new file is made from them, so that the new file can never be
// the old one and the old one is never cut short by its own copy.

namespace trilo {

/// An existing file opened for reading, in binary mode, for exclusive use.
/// On Windows it is a deny-sharing open: every other opening of the file,
/// this program's own included, fails while it is open. On POSIX, where
/// such a lock does not exist, the file's device and inode are remembered
/// so that CheckNewFile can refuse a target that is the same file.
class ExclusiveFile {
 public:
  ExclusiveFile() = default;
  ExclusiveFile(const ExclusiveFile&) = delete;
  ExclusiveFile& operator=(const ExclusiveFile&) = delete;
  ~ExclusiveFile() { Close(); }

  /// Fails when the file is missing, is a folder, a pipe or a device (never
  /// waited on), cannot be read or is in use (Windows).
  Status Open(const std::string& path);
  std::FILE* File() const { return file_; }
  /// The rest of the file.
  Status ReadAll(std::string& bytes);
  void Close();

  /// The identity of the open file (POSIX: device and inode).
  unsigned long long Device() const { return device_; }
  unsigned long long Inode() const { return inode_; }

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  unsigned long long device_ = 0;
  unsigned long long inode_ = 0;
};

/// Whether a new file may be written at a path.
enum class NewFileCheck {
  Creatable,    ///< nothing there yet, or a file that may be replaced
  SameFile,     ///< the path names the open source file itself
  Folder,       ///< a folder, or a path that can only name one (empty, ends in "\")
  NotWritable,  ///< a read-only file, or one that cannot be opened for writing
  InUse,        ///< open elsewhere (Windows sharing violation, a running program)
};

/// Answers, before anything is written, whether `target` can be created or
/// replaced while `source` is open. A missing folder is not detected here:
/// creating the file tells that.
NewFileCheck CheckNewFile(const std::string& target, const ExclusiveFile& source);

}  // namespace trilo
