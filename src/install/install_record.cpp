#include "install/install_record.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "install/installer_app.h"
#include "platform/exclusive_file.h"
#include "platform/file_ops.h"
#include "platform/stop_request.h"
#include "platform/filesystem.h"
#include "platform/system_info.h"
#include "platform/user_path.h"
#include "text/code_page.h"
#include "text/content_hash.h"
#include "text/text_util.h"

namespace trilo {

const char kRecordsFolder[] = "trilo-records";
const char kManifestName[] = "manifest.txt";

namespace {

// A title as a folder name: what Windows forbids in names becomes "_", the
// dots and blanks it drops at the end go, and the name stays short.
std::string FolderTitle(const std::string& title) {
  const CodePage cp = ActiveCodePage();
  std::string out;
  for (size_t i = 0; i < title.size() && out.size() < 64; ++i) {
    const unsigned char c = static_cast<unsigned char>(title[i]);
    if (cp.IsLeadByte(c) && i + 1 < title.size()) {
      out += title.substr(i++, 2);
    } else {
      out += c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos
                 ? '_'
                 : static_cast<char>(c);
    }
  }
  while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
  return out;
}

bool IsAbsolute(const std::string& path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) || (path.size() > 1 && path[1] == ':');
}

// A file that is read-only or in use is not replaced: the copy or write
// will fail and leave it as it is, so there is nothing to keep.
bool Replaceable(const std::string& path) {
  ExclusiveFile none;
  return CheckNewFile(path, none) == NewFileCheck::Creatable;
}

}  // namespace

std::string FullPath(const std::string& path, const std::string& base) {
  return ResolveDotSteps(IsAbsolute(path) ? path : base + path);
}

std::string GameFolderOf(const std::string& gameExe, const std::string& base) {
  const size_t slash = FindLastChar(gameExe, '\\', ActiveCodePage());
  std::string folder = FullPath(slash == std::string::npos ? std::string() : gameExe.substr(0, slash + 1), base);
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

InstallRecord::InstallRecord() : recording_(false) {}

InstallRecord::InstallRecord(const std::string& gameFolder, const std::string& workingDir,
                             const RecordHeader& header)
    : gameFolder_(gameFolder), workingDir_(workingDir), header_(header) {
  header_.game = gameFolder;
  keptNames_.insert(kManifestName);
}

InstallRecord::~InstallRecord() {
  if (manifest_) std::fclose(manifest_);
}

InstallRecord& InstallRecord::Unrecorded() {
  static InstallRecord none;
  return none;
}

Status InstallRecord::Fail(const std::string& message, const Status& cause) {
  if (failure_) failure_ = Status::RecordFailure(message, cause);
  return failure_;
}

Status InstallRecord::Begin() {
  if (begun_) return failure_;
  begun_ = true;
  const std::string root = gameFolder_ + kRecordsFolder + "\\";
  if (Status made = CreateFolder(root); !made)
    return Fail("Couldn't make the install record folder " + PathForMessage(root), made);
  if (Status made = MakeRecordFolder(root); !made) return made;
  manifestPath_ = folder_ + kManifestName;
  if (Status opened = OpenFile(manifestPath_, "wb", manifest_); !opened)
    return Fail("Couldn't write the install record " + PathForMessage(manifestPath_), opened);
  return WriteLine(ManifestHeaderText(header_));
}

Status InstallRecord::MakeRecordFolder(const std::string& root) {
  // One more than the highest number there; a name taken meanwhile moves on.
  unsigned long number = 0;
  std::vector<FolderEntry> entries;
  ReadFolder(root, entries);
  for (const FolderEntry& entry : entries)
    if (entry.isFolder) number = std::max(number, std::strtoul(entry.name.c_str(), nullptr, 10));
  const std::string title = FolderTitle(header_.title);
  Status made;
  for (int tries = 0; tries < 100; ++tries) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%04lu", ++number);
    const std::string folder = root + digits + (title.empty() ? "" : "-" + title) + "\\";
    bool existed = false;
    made = CreateFolder(folder, &existed);
    if (!made) break;
    if (existed) continue;
    folder_ = folder;
    return made;
  }
  return Fail("Couldn't make the install record folder in " + PathForMessage(root), made);
}

Status InstallRecord::WriteLine(const std::string& line) {
  // Flushed at once: the line must be on disk before what it tells of.
  if (std::fwrite(line.data(), 1, line.size(), manifest_) != line.size() || std::fflush(manifest_) != 0)
    return Fail("Couldn't write the install record " + PathForMessage(manifestPath_),
                LastSystemError(manifestPath_, Status::Phase::Write));
  return Status();
}

std::string InstallRecord::RecordPath(const std::string& path) const {
  // A folder is named alike with or without its closing "\".
  std::string full = FullPath(path, workingDir_);
  while (full.size() > 1 && full.back() == '\\' && full[full.size() - 2] != ':') full.pop_back();
  if (full.size() > gameFolder_.size() && EqualsIgnoreCase(full.substr(0, gameFolder_.size()), gameFolder_))
    return full.substr(gameFolder_.size());
  return full;
}

std::string InstallRecord::UniqueKeptName(const std::string& recordPath) {
  std::string name = recordPath;
  if (IsAbsolute(name)) {
    // Outside the game: kept under its full path, drive and all.
    std::string steps;
    for (char c : name)
      if (c != ':') steps += c;
    size_t first = steps.find_first_not_of('\\');
    name = std::string("~outside\\") + (first == std::string::npos ? "" : steps.substr(first));
  }
  std::string unique = name;
  for (int n = 2; !keptNames_.insert(FoldCase(unique)).second; ++n) unique = name + "~" + std::to_string(n);
  return unique;
}

Status InstallRecord::MakeFoldersTo(const std::string& file) {
  // Made once and known afterwards: the record's folders are its own.
  for (size_t slash = file.find('\\', folder_.size()); slash != std::string::npos; slash = file.find('\\', slash + 1)) {
    const std::string folder = file.substr(0, slash);
    if (madeFolders_.count(FoldCase(folder))) continue;
    if (Status made = CreateFolder(folder); !made) return made;
    madeFolders_.insert(FoldCase(folder));
  }
  return Status();
}

Status InstallRecord::Keep(const std::string& path, const std::string& kept, CopyNotice* copy, bool& moved) {
  moved = false;
  Status status = MakeFoldersTo(kept);
  if (!status) return status;
  if (!copy) {
    // Renamed over: never without a file at its name, even when the install
    // is killed before the new one is in place: a second name, else a copy.
    if (LinkFile(path, kept)) return Status();
  } else {
    // A copy overwrites it in place anyway: moved, unless it lies on
    // another volume, then copied.
    moved = copy->moveAside(kept).Ok();
    if (moved) return Status();
  }
  // A copy is complete under its own name before it counts.
  const std::string part = kept + "~part";
  status = CopyFileReplacing(path, part);
  if (status) status = RenameReplacing(part, kept);
  if (!status) RemoveFile(part);
  return status;
}

Status InstallRecord::Announce(const std::string& path, bool exists, const Content* content, CopyNotice* copy) {
  if (Status begun = Begin(); !begun) return begun;
  pending_ = Pending();
  if (Status aside = SetAsideStoredCopy(path); !aside) return aside;
  RecordEntry entry;
  entry.path = RecordPath(path);
  entry.hashed = content != nullptr;
  if (content) {
    entry.size = content->size;
    entry.hash = content->hash;
  }
  pending_.path = path;
  pending_.hashAfter = content == nullptr;
  entry.action = exists ? RecordAction::ReplacedFile : RecordAction::CreatedFile;
  if (exists) entry.kept = UniqueKeptName(entry.path);
  if (Status written = WriteLine(ManifestEntryLine(entry)); !written) return written;
  if (exists) {
    pending_.replaced = true;
    pending_.kept = folder_ + entry.kept;
    if (Status kept = Keep(path, pending_.kept, copy, pending_.moved); !kept)
      return Fail("Couldn't keep a copy of " + PathForMessage(path) + " in the install record " +
                      PathForMessage(folder_),
                  kept);
  }
  pending_.active = true;
  return Status();
}

// A copy Windows keeps of the file in the VirtualStore would go on hiding
// the new file from the game: it moves into the record as a replaced file
// of its own (named by its full path), and an undo puts it back.
Status InstallRecord::SetAsideStoredCopy(const std::string& path) {
  const std::string stored = VirtualStoreCopy(FullPath(path, workingDir_));
  if (stored.empty()) return Status();
  RecordEntry entry;
  entry.action = RecordAction::ReplacedFile;
  entry.path = RecordPath(stored);
  entry.kept = UniqueKeptName(entry.path);
  if (Status written = WriteLine(ManifestEntryLine(entry)); !written) return written;
  const std::string kept = folder_ + entry.kept;
  Status moved = MakeFoldersTo(kept);
  if (moved) moved = RelocateFile(stored, kept);
  if (!moved)
    return Fail("Couldn't keep a copy of " + PathForMessage(stored) + " in the install record " +
                    PathForMessage(folder_),
                moved);
  pending_.stored = stored;
  pending_.storedKept = kept;
  return Status();
}

Status InstallRecord::BeforeFolder(const std::string& path) {
  if (!recording_ || !failure_) return failure_;
  if (path.empty() || PathExists(path)) return Status();
  if (Status begun = Begin(); !begun) return begun;
  RecordEntry entry;
  entry.action = RecordAction::CreatedFolder;
  entry.path = RecordPath(path);
  return WriteLine(ManifestEntryLine(entry));
}

RecordedChange InstallRecord::BeforeCopy(const std::string& destination) {
  if (!recording_ || !failure_) return RecordedChange(this, failure_);
  pending_ = Pending();
  // The copy looks at the destination itself and tells what it found.
  copy_.active = true;
  copy_.path = destination;
  return RecordedChange(this, Status());
}

Status InstallRecord::AnnounceCopy(CopyNotice& notice) {
  if (!recording_ || !failure_ || !copy_.active) return failure_;
  copy_.active = false;
  Content known;
  if (notice.content) known = {notice.content->size, notice.content->hash};
  const bool replaces = !notice.replaces.empty();
  return Announce(replaces ? notice.replaces : copy_.path, replaces, notice.content ? &known : nullptr, &notice);
}

RecordedChange InstallRecord::BeforeWrite(const std::string& target, const std::string* bytes) {
  if (!recording_ || !failure_) return RecordedChange(this, failure_);
  pending_ = Pending();
  const FileStatus to = GetFileStatus(target);
  if (to.folder || to.special || (to.exists && !Replaceable(target))) return RecordedChange(this, Status());
  Content content;
  if (bytes) {
    ContentHash h;
    h.Add(*bytes);
    content = {h.Size(), h.Value()};
  }
  return RecordedChange(
      this, Announce(to.exists ? ActualName(target) : target, to.exists, bytes ? &content : nullptr, nullptr));
}

Status InstallRecord::NewTemporary(const std::string& target, std::string& temporary) {
  temporary.clear();
  if (!recording_ || !failure_) return failure_;
  if (Status begun = Begin(); !begun) return begun;
  const std::string name = ReplacingFile::TemporaryPathBeside(target);
  RecordEntry entry;
  entry.action = RecordAction::TemporaryFile;
  entry.path = RecordPath(name);
  Status written = WriteLine(ManifestEntryLine(entry));
  if (written) temporary = name;
  return written;
}

void InstallRecord::Settle(bool made) {
  if (!pending_.active) return;
  pending_.active = false;
  if (!made) {
    // The file stays as it was: the kept copy goes back, or goes; so does
    // its VirtualStore copy.
    if (!pending_.stored.empty()) RelocateFile(pending_.storedKept, pending_.stored);
    // A copy kept as a copy is dropped while the file is still there; one
    // the failed write took away (a copy leaves no cut file) goes back.
    if (pending_.replaced) {
      if (!pending_.moved && PathExists(pending_.path)) RemoveFile(pending_.kept);
      else RelocateFile(pending_.kept, pending_.path);
    }
    return;
  }
  ContentHash h;
  if (pending_.hashAfter && HashWholeFile(pending_.path, h))
    WriteLine(ManifestWroteLine(RecordPath(pending_.path), h.Size(), h.Value()));
}

void InstallRecord::Withdraw() {
  if (!pending_.active) return;
  if (!pending_.replaced) {
    pending_.active = false;
    RemoveFile(pending_.path);
    return;
  }
  // Moved or copied, what the record kept is the old file whole: it goes
  // back over the new one.
  pending_.moved = true;
  Settle(false);
}

void InstallRecord::Unsettle() {
  ++unsettled_;
  Settle(false);
  if (recording_)
    Fail("A change to the game was neither committed nor abandoned in the install record " + PathForMessage(folder_),
       Status());
}

void InstallRecord::Finish(bool completed, bool cutShort) {
  if (!manifest_) return;
  const bool failed = !completed || !failure_;
  const std::string state = ManifestStateField(cutShort ? RecordState::CutShort
                                               : failed ? RecordState::Failed
                                                        : RecordState::Completed);
  if (std::fseek(manifest_, static_cast<long>(kManifestStateOffset), SEEK_SET) == 0)
    std::fwrite(state.data(), 1, state.size(), manifest_);
  std::fclose(manifest_);
  manifest_ = nullptr;
}

RecordedChange::RecordedChange(RecordedChange&& other) noexcept
    : record_(other.record_), recorded_(std::move(other.recorded_)) {
  other.record_ = nullptr;
}

RecordedChange::~RecordedChange() {
  if (record_) record_->Unsettle();
}

CopyAnnouncement RecordedChange::Announcement() {
  InstallRecord* record = record_;
  if (!record) return nullptr;
  return [record](CopyNotice& notice) { return record->AnnounceCopy(notice); };
}

void RecordedChange::Commit() { Settle(true); }

void RecordedChange::Abandon() { Settle(false); }

void RecordedChange::Withdraw() {
  if (record_) record_->Withdraw();
  record_ = nullptr;
}

void RecordedChange::Settle(bool made) {
  if (record_) record_->Settle(made);
  record_ = nullptr;
}

Status OpenReplacing(ReplacingFile& file, const std::string& target, InstallRecord& record) {
  std::string temporary;
  if (Status listed = record.NewTemporary(target, temporary); !listed) return listed;
  return file.Open(target, temporary);
}

Status InstallerApp::RecordedCopy(const std::string& source, const std::string& destination) {
  RecordedChange change = Record->BeforeCopy(destination);
  if (!change.Recorded()) return change.Recorded();
  const Status copied = CopyFileReplacing(source, destination, change.Announcement());
  // Asked to stop while it copied: the copy is taken back, so that no file
  // is left that the install did not finish with.
  if (copied && StopRequested()) change.Withdraw();
  else change.Settle(copied.Ok());
  return copied;
}

bool InstallerApp::ShowRecordFailure(const Status& failure) {
  UI.ShowMessage(failure.Explain(failure.Message()));
  return false;
}

bool InstallerApp::RunRecordedInstall(InstallProgress& progress) {
  RecordHeader header;
  header.title = Settings.Title;
  header.package = WorkingDir;
  header.version = State.SelectedVersion;
  header.date = LocalTimeText();
  InstallRecord record(GameFolderOf(State.GameExePath, WorkingDir), WorkingDir, header);
  Record = &record;
  const bool ok = RunInstallSequence(progress);
  Record = &InstallRecord::Unrecorded();
  ChangedGame = record.Begun();
  record.Finish(ok, CutShort);
  return ok;
}

}  // namespace trilo
