#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace trilo {

/// Writes a file beside its target and puts it in the target's place only
/// once every byte was written and has reached the disk, so that a failure,
/// a crash or a power cut leaves the old file or the complete new one,
/// never a cut or empty one.
///
/// On Linux the new file has no name while it is written (O_TMPFILE): a
/// crash leaves nothing behind. It gets a name only to replace the target,
/// the target's own when nothing stands there yet. Elsewhere, and where the
/// file system cannot do that, it is written under a temporary name unique
/// to the process and the file (TemporaryPathBeside, the one scheme of every
/// temporary the installer writes). A temporary of ours that an interrupted
/// run left in the folder is removed on the way, and never stands in the
/// way. The program has one thread: nothing here is locked.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  ~ReplacingFile();

  /// Creates the new file.
  Status Open(const std::string& target);
  /// The same with the name the file takes if it needs one beside the
  /// target, given by the caller (the install record names it before it
  /// exists, with TemporaryPathBeside). An unnamed file on Linux still has
  /// no name at all.
  Status Open(const std::string& target, const std::string& temporary);
  /// Appends bytes to the new file; fails when they were not all written.
  Status Write(const std::string& bytes);
  /// Flushes the file to disk, puts it in the target's place and flushes
  /// the folder; after a failure the target is as it was.
  Status Commit();
  /// Drops the new file.
  void Abandon();

  /// The new file's temporary name beside the target; empty while it has
  /// none (an unnamed file on Linux).
  const std::string& TempPath() const { return temp_; }

  /// The temporary name of the `counter`th file that process `pid` writes.
  static std::string TemporaryName(unsigned long pid, unsigned long counter);
  /// A new temporary name of this process in `target`'s folder, "~trilo-PID-N.tmp",
  /// never given before in this run: the only way the installer names a
  /// file it writes before it renames it into place.
  static std::string TemporaryPathBeside(const std::string& target);
  /// Whether a folder entry is a temporary of ours that may stand beside
  /// `targetName`: one of our temporary names (then `pid` is the process
  /// that gave it), or a name earlier versions used for that target,
  /// "NAME~trilo.tmp" or "NAME~trilo2.tmp" and on (then `pid` is 0, unknown).
  static bool IsTemporaryName(const std::string& entry, const std::string& targetName, unsigned long& pid);

 private:
  bool IsOpen() const { return handle_ != -1; }
  void RemoveStaleTemporaries() const;
  /// The next temporary name of this process: the one builder of them all.
  static std::string NewTemporaryName();
  Status OpenNamed();
  Status NameUnnamedFile();
  std::string wantedTemp_;  // the caller's name for a temporary, if any

  // The system's part (posix/replacing_file.cpp, win32/replacing_file.cpp).
  // Paths here are the system's own.
  /// The target's folder (ending in its separator, or empty for the current
  /// folder) and name.
  static void SplitTarget(const std::string& target, std::string& folder, std::string& name);
  static std::vector<std::string> FolderEntries(const std::string& folder);
  static unsigned long OwnProcessId();
  static bool ProcessRunning(unsigned long pid);
  /// Removes a file, never a folder.
  static void RemoveStale(const std::string& path);
  /// An unnamed file in folder_; false where there is no such thing.
  bool CreateUnnamed();
  /// A failure that AlreadyExists() when the name is taken.
  Status CreateNamed(const std::string& path);
  Status WriteBytes(const std::string& bytes);
  Status FlushToDisk();
  /// Gives the unnamed file a name, which must be free.
  Status LinkUnnamed(const std::string& path);
  Status CloseFile();
  static Status ReplaceTarget(const std::string& from, const std::string& to);
  static void RemoveName(const std::string& path);
  void SyncFolder() const;

  std::intptr_t handle_ = -1;  // a descriptor or a HANDLE
  bool unnamed_ = false;
  std::string folder_;
  std::string name_;
  std::string temp_;
};

}  // namespace trilo
