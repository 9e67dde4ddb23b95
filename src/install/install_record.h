#pragma once
#include <cstdio>
#include <set>
#include <string>

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

/// The record of one install, written as the install goes: the folder
/// trilo-records\NNNN-TITLE\ in the game folder with its manifest and a copy
/// of every file the install replaced, under the file's path in the game.
/// Nothing is written before the install's first change.
///
/// Each step tells it what it is about to do (Before...) and, for a file,
/// how that ended (AfterWrite). A false answer means the record could not
/// be written: the step must stop, and Error() says why.
class InstallRecord {
 public:
  /// `gameFolder` full and ending in "\"; `workingDir` the package folder.
  InstallRecord(const std::string& gameFolder, const std::string& workingDir, const RecordHeader& header);
  ~InstallRecord();
  InstallRecord(const InstallRecord&) = delete;
  InstallRecord& operator=(const InstallRecord&) = delete;

  /// Before a folder is made; one that is there already is not the install's.
  bool BeforeFolder(const std::string& path);
  /// Before CopyFileReplacing(source, destination, announce) with
  /// AnnounceCopy as its announcement. `destination` may be respelt as its
  /// folder holds it, so that the copy replaces that very file. A copy that
  /// is bound to fail (a folder or a device in the way, the file onto
  /// itself) is not recorded, nor one that fails before its announcement.
  bool BeforeCopy(const std::string& source, std::string& destination);
  /// The copy's announcement: what it is about to write, null when unknown.
  bool AnnounceCopy(const CopiedContent* content);
  /// Before `target` is written, with `bytes` its new content when known.
  /// The new file must take `target`'s name by a rename: the old one is
  /// kept under a second name and stays in place until then.
  bool BeforeWrite(const std::string& target, const std::string* bytes);
  /// After the copy or write just announced: a failed one gets its file back.
  void AfterWrite(bool ok);
  /// A name beside `target`, free now, for the new content to be written
  /// under before it is renamed over the target; empty when the record
  /// could not be written.
  std::string NewTemporary(const std::string& target);

  /// Writes how the install ended into the manifest's header and closes it.
  void Finish(bool completed);

  bool Failed() const { return failed_; }
  const std::string& Error() const { return error_; }
  /// The record's folder, ending in "\"; empty until the first change.
  const std::string& Folder() const { return folder_; }

 private:
  struct Content {
    unsigned long long size;
    uint64_t hash;
  };
  bool Begin();
  bool Fail(const std::string& message);
  bool WriteLine(const std::string& line);
  /// What a line calls `path`: its place in the game, or its full path.
  std::string RecordPath(const std::string& path) const;
  std::string UniqueKeptName(const std::string& recordPath);
  /// `renamedOver`: the new file takes the old one's name by a rename, so
  /// the old one stays where it is until then.
  bool Keep(const std::string& path, const std::string& kept, bool renamedOver, bool& moved);
  bool Announce(const std::string& path, bool exists, const Content* content, bool renamedOver);

  std::string gameFolder_;
  std::string workingDir_;
  RecordHeader header_;
  bool begun_ = false;
  bool failed_ = false;
  std::string error_;
  std::string folder_;
  std::string manifestPath_;
  std::FILE* manifest_ = nullptr;
  std::set<std::string> keptNames_;  ///< lower case: names differing in case are one on Windows

  // The copy BeforeCopy let through, until its announcement.
  struct PendingCopy {
    bool active = false;
    bool exists = false;  ///< it replaces a file
    std::string path;
  } copy_;

  // The write announced last, until AfterWrite.
  struct Pending {
    bool active = false;
    bool replaced = false;
    bool moved = false;   ///< the old file was renamed into the record
    bool hashAfter = false;
    std::string path;      ///< as the step names it
    std::string kept;      ///< full path of the kept copy
  } pending_;
};

/// How OpenReplacing went.
enum class ReplacingOpen { Opened, RecordFailed, OpenFailed };

/// Opens `file` to replace `target`; with a record, under the temporary
/// name the record gives (and lists) for it.
ReplacingOpen OpenReplacing(ReplacingFile& file, const std::string& target, InstallRecord* record);

}  // namespace trilo
