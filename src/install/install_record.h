#pragma once
#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "formats/install_manifest.h"
#include "platform/file_ops.h"
#include "platform/replacing_file.h"

namespace trilo {

/// The folder in the game folder that holds one record per install.
extern const char kRecordsFolder[];  ///< "trilo-records"
/// The manifest's name in a record's folder.
extern const char kManifestName[];   ///< "manifest.txt"

/// A path as the steps use it made full: a relative one is taken from
/// `base` (the package folder, current while the steps run), "." and ".."
/// steps are resolved.
std::string FullPath(const std::string& path, const std::string& base);

/// The game folder of a game executable's path: everything up to its last
/// "\", made full; `base` as for FullPath.
std::string GameFolderOf(const std::string& gameExe, const std::string& base);

class InstallRecord;

/// One change the record was told of before it happens: a copy or a write.
/// It must be settled once the change is over: Commit() when the change was
/// made, Abandon() when it was not (the file the change would replace then
/// gets its place back). A change dropped unsettled is a fault of its
/// caller: the record abandons it, counts it (InstallRecord::Unsettled) and
/// fails, so that the install is recorded as failed.
class RecordedChange {
 public:
  RecordedChange() = default;
  RecordedChange(RecordedChange&& other) noexcept;
  RecordedChange& operator=(RecordedChange&&) = delete;
  RecordedChange(const RecordedChange&) = delete;
  ~RecordedChange();

  /// Whether the record took the change; a failure is a record failure.
  const Status& Recorded() const { return recorded_; }
  /// The copy's announcement, for CopyFileReplacing (BeforeCopy only): the
  /// record notes what the copy is about to write and keeps what it replaces.
  CopyAnnouncement Announcement();
  void Commit();
  void Abandon();
  /// The change was made, and is taken back: the file it replaced goes back
  /// from the record, a file it created goes.
  void Withdraw();
  /// Commit() when `made`, else Abandon().
  void Settle(bool made);

 private:
  friend class InstallRecord;
  // A change the record could not take has nothing to settle.
  RecordedChange(InstallRecord* record, Status recorded)
      : record_(recorded ? record : nullptr), recorded_(std::move(recorded)) {}
  InstallRecord* record_ = nullptr;  // null once settled
  Status recorded_;
};

/// The record of one install, written as the install goes: the folder
/// trilo-records\NNNN-TITLE\ in the game folder with its manifest and a copy
/// of every file the install replaced, under the file's path in the game.
/// Nothing is written before the install's first change.
///
/// Each step tells it what it is about to do (Before...), and settles each
/// file's change. A failure of the record is one Status,
/// IsRecordFailure(): the step must stop, and it says why. Once failed, the
/// record fails every later call the same way.
///
/// An install that is not recorded runs on Unrecorded(), a record that
/// records nothing and never fails, so no step asks whether there is one.
class InstallRecord {
 public:
  /// `gameFolder` full and ending in "\"; `workingDir` the package folder.
  InstallRecord(const std::string& gameFolder, const std::string& workingDir, const RecordHeader& header);
  ~InstallRecord();
  InstallRecord(const InstallRecord&) = delete;
  InstallRecord& operator=(const InstallRecord&) = delete;

  /// The record of an install that keeps none.
  static InstallRecord& Unrecorded();

  /// Before a folder is made; one that is there already is not the install's.
  Status BeforeFolder(const std::string& path);
  /// Before CopyFileReplacing(source, destination, change.Announcement()).
  /// The copy looks at the destination and tells the record what it
  /// found: a file it replaces is named as its folder spells it, and moved
  /// into the record. A copy that is bound to fail (a folder or a device in
  /// the way, the file onto itself, a read-only file) is not recorded, nor
  /// one that fails before its announcement.
  RecordedChange BeforeCopy(const std::string& destination);
  /// Before `target` is written, with `bytes` its new content when known.
  /// The new file must take `target`'s name by a rename: the old one is
  /// kept under a second name and stays in place until then.
  RecordedChange BeforeWrite(const std::string& target, const std::string* bytes);
  /// A name beside `target`, free now, for the new content to be written
  /// under before it is renamed over the target; listed first, so that an
  /// undo removes it. Empty from an unrecorded install: the file names its
  /// own then.
  Status NewTemporary(const std::string& target, std::string& temporary);

  /// Writes how the install ended into the manifest's header and closes it:
  /// "cut short" when `cutShort`, whatever `completed` says.
  void Finish(bool completed, bool cutShort = false);
  /// Whether the install has changed the game yet.
  bool Begun() const { return begun_; }

  /// The failure that stopped the record; success while it writes.
  const Status& Failure() const { return failure_; }
  /// Changes that were dropped neither committed nor abandoned.
  int Unsettled() const { return unsettled_; }
  /// The record's folder, ending in "\"; empty until the first change.
  const std::string& Folder() const { return folder_; }

 private:
  friend class RecordedChange;
  struct Content {
    unsigned long long size;
    uint64_t hash;
  };
  InstallRecord();  // Unrecorded()
  Status Begin();
  Status MakeRecordFolder(const std::string& root);
  /// Makes the record's folders on the way to `file`, each once.
  Status MakeFoldersTo(const std::string& file);
  Status Fail(const std::string& message, const Status& cause);
  Status WriteLine(const std::string& line);
  /// What a line calls `path`: its place in the game, or its full path.
  std::string RecordPath(const std::string& path) const;
  std::string UniqueKeptName(const std::string& recordPath);
  /// `copy` null: the new file takes the old one's name by a rename, so the
  /// old one stays where it is until then. Else the copy moves it aside.
  Status Keep(const std::string& path, const std::string& kept, CopyNotice* copy, bool& moved);
  Status Announce(const std::string& path, bool exists, const Content* content, CopyNotice* copy);
  Status AnnounceCopy(CopyNotice& notice);
  Status SetAsideStoredCopy(const std::string& path);
  void Settle(bool made);
  void Withdraw();
  void Unsettle();

  bool recording_ = true;
  std::string gameFolder_;
  std::string workingDir_;
  RecordHeader header_;
  bool begun_ = false;
  Status failure_;
  int unsettled_ = 0;
  std::string folder_;
  std::string manifestPath_;
  std::FILE* manifest_ = nullptr;
  std::set<std::string> keptNames_;  ///< folded case: names differing in case are one on Windows
  std::set<std::string> madeFolders_;  ///< the record's folders made so far, folded case

  // The copy BeforeCopy let through, until its announcement.
  struct PendingCopy {
    bool active = false;
    std::string path;
  } copy_;

  // The write announced last, until it is settled.
  struct Pending {
    bool active = false;
    bool replaced = false;
    bool moved = false;   ///< the old file was renamed into the record
    bool hashAfter = false;
    std::string path;      ///< as the step names it
    std::string kept;      ///< full path of the kept copy
    std::string stored;    ///< the file's VirtualStore copy, set aside into the record
    std::string storedKept;
  } pending_;
};

/// Opens `file` to replace `target`, under the temporary name the record
/// gives (and lists) for it; a record failure, or the file's own.
Status OpenReplacing(ReplacingFile& file, const std::string& target, InstallRecord& record);

}  // namespace trilo
