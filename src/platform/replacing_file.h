#pragma once
#include <cstdint>
#include <string>
#include <vector>

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
/// to the process and the file. A temporary of ours that an interrupted run
/// left in the folder is removed on the way, and never stands in the way.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  ~ReplacingFile();

  /// Creates the new file; false when it cannot be created.
  bool Open(const std::string& target);
  /// The same with the name the file takes if it needs one beside the
  /// target, given by the caller (the install record names it before it
  /// exists). An unnamed file on Linux still has no name at all.
  bool Open(const std::string& target, const std::string& temporary);
  /// Appends bytes to the new file; false when they were not all written.
  bool Write(const std::string& bytes);
  /// Flushes the file to disk, puts it in the target's place and flushes
  /// the folder; false on any failure, after which the target is as it was.
  bool Commit();
  /// Drops the new file.
  void Abandon();

  /// The new file's temporary name beside the target; empty while it has
  /// none (an unnamed file on Linux).
  const std::string& TempPath() const { return temp_; }

  /// The temporary name of the `counter`th file that process `pid` writes.
  static std::string TemporaryName(unsigned long pid, unsigned long counter);
  /// Whether a folder entry is a temporary of ours that may stand beside
  /// `targetName`: one of our temporary names (then `pid` is the process
  /// that gave it), or the one name earlier versions used for that target
  /// (then `pid` is 0, unknown).
  static bool IsTemporaryName(const std::string& entry, const std::string& targetName, unsigned long& pid);

 private:
  enum class Outcome { Done, NameTaken, Failed };

  bool IsOpen() const { return handle_ != -1; }
  void RemoveStaleTemporaries() const;
  std::string NextTemporaryPath() const;
  bool NameUnnamedFile();
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
  Outcome CreateNamed(const std::string& path);
  bool WriteBytes(const std::string& bytes);
  bool FlushToDisk();
  /// Gives the unnamed file a name, which must be free.
  Outcome LinkUnnamed(const std::string& path);
  bool CloseFile();
  static bool ReplaceTarget(const std::string& from, const std::string& to);
  static bool RemoveName(const std::string& path);
  void SyncFolder() const;

  std::intptr_t handle_ = -1;  // a descriptor or a HANDLE
  bool unnamed_ = false;
  std::string folder_;
  std::string name_;
  std::string temp_;
};

}  // namespace trilo
