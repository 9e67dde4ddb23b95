#include "install/install_record.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "install/installer_app.h"
#include "platform/exclusive_file.h"
#include "platform/file_ops.h"
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

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool IsAbsolute(const std::string& path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) || (path.size() > 1 && path[1] == ':');
}

// Makes every folder on the way to `file` below `base`, which exists.
bool MakeFoldersTo(const std::string& base, const std::string& file) {
  for (size_t slash = file.find('\\', base.size()); slash != std::string::npos; slash = file.find('\\', slash + 1))
    if (CreateFolder(file.substr(0, slash)) == CreateFolderResult::Failed) return false;
  return true;
}

// A file that is read-only or in use is not replaced: the copy or write
// will fail and leave it as it is, so there is nothing to keep.
bool Replaceable(const std::string& path) {
  ExclusiveFile none;
  return CheckNewFile(path, none) == NewFileCheck::Creatable;
}

bool HashFile(const std::string& path, unsigned long long& size, uint64_t& hash) {
  ContentHash h;
  if (!HashWholeFile(path, h)) return false;
  size = h.Size();
  hash = h.Value();
  return true;
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

InstallRecord::InstallRecord(const std::string& gameFolder, const std::string& workingDir,
                             const RecordHeader& header)
    : gameFolder_(gameFolder), workingDir_(workingDir), header_(header) {
  header_.game = gameFolder;
  keptNames_.insert(kManifestName);
}

InstallRecord::~InstallRecord() {
  if (manifest_) std::fclose(manifest_);
}

bool InstallRecord::Fail(const std::string& message) {
  if (!failed_) error_ = message;
  failed_ = true;
  return false;
}

bool InstallRecord::Begin() {
  if (begun_) return !failed_;
  begun_ = true;
  const std::string root = gameFolder_ + kRecordsFolder + "\\";
  if (CreateFolder(root) == CreateFolderResult::Failed)
    return Fail("Couldn't make the install record folder " + PathForUser(root));

  // One more than the highest number there; a name taken meanwhile moves on.
  unsigned long number = 0;
  std::vector<FolderEntry> entries;
  ReadFolder(root, entries);
  for (const FolderEntry& entry : entries)
    if (entry.isFolder) number = std::max(number, std::strtoul(entry.name.c_str(), nullptr, 10));
  const std::string title = FolderTitle(header_.title);
  for (int tries = 0; tries < 100; ++tries) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%04lu", ++number);
    const std::string folder = root + digits + (title.empty() ? "" : "-" + title) + "\\";
    const CreateFolderResult made = CreateFolder(folder);
    if (made == CreateFolderResult::AlreadyExists) continue;
    if (made == CreateFolderResult::Failed) break;
    folder_ = folder;
    manifestPath_ = folder + kManifestName;
    manifest_ = OpenFile(manifestPath_, "wb");
    if (!manifest_) return Fail("Couldn't write the install record " + PathForUser(manifestPath_));
    return WriteLine(ManifestHeaderText(header_));
  }
  return Fail("Couldn't make the install record folder in " + PathForUser(root));
}

bool InstallRecord::WriteLine(const std::string& line) {
  // Flushed at once: the line must be on disk before what it tells of.
  if (std::fwrite(line.data(), 1, line.size(), manifest_) != line.size() || std::fflush(manifest_) != 0)
    return Fail("Couldn't write the install record " + PathForUser(manifestPath_));
  return true;
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
  for (int n = 2; !keptNames_.insert(Lower(unique)).second; ++n) unique = name + "~" + std::to_string(n);
  return unique;
}

bool InstallRecord::Keep(const std::string& path, const std::string& kept, bool renamedOver, bool& moved) {
  if (!MakeFoldersTo(folder_, kept)) return false;
  moved = false;
  if (renamedOver) {
    // Never without a file at its name, even when the install is killed
    // before the new one is in place: a second name, else a copy.
    if (LinkFile(path, kept)) return true;
  } else {
    // A copy overwrites it in place anyway: moved, unless it lies on
    // another volume (or is open elsewhere), then copied.
    moved = RenameReplacing(path, kept);
    if (moved) return true;
  }
  // A copy is complete under its own name before it counts.
  const std::string part = kept + "~part";
  if (CopyFileReplacing(path, part).ok && RenameReplacing(part, kept)) return true;
  RemoveFile(part);
  return false;
}

bool InstallRecord::Announce(const std::string& path, bool exists, const Content* content, bool renamedOver) {
  if (!Begin()) return false;
  RecordEntry entry;
  entry.path = RecordPath(path);
  entry.hashed = content != nullptr;
  if (content) {
    entry.size = content->size;
    entry.hash = content->hash;
  }
  pending_ = Pending();
  pending_.path = path;
  pending_.hashAfter = content == nullptr;
  if (!exists) {
    entry.action = RecordAction::CreatedFile;
    if (!WriteLine(ManifestEntryLine(entry))) return false;
  } else {
    entry.action = RecordAction::ReplacedFile;
    entry.kept = UniqueKeptName(entry.path);
    if (!WriteLine(ManifestEntryLine(entry))) return false;
    pending_.replaced = true;
    pending_.kept = folder_ + entry.kept;
    if (!Keep(path, pending_.kept, renamedOver, pending_.moved))
      return Fail("Couldn't keep a copy of " + PathForUser(path) + " in the install record " + PathForUser(folder_));
  }
  pending_.active = true;
  return true;
}

bool InstallRecord::BeforeFolder(const std::string& path) {
  if (failed_) return false;
  if (path.empty() || PathExists(path)) return true;
  if (!Begin()) return false;
  RecordEntry entry;
  entry.action = RecordAction::CreatedFolder;
  entry.path = RecordPath(path);
  return WriteLine(ManifestEntryLine(entry));
}

bool InstallRecord::BeforeCopy(const std::string& source, std::string& destination) {
  if (failed_) return false;
  pending_ = Pending();
  copy_ = PendingCopy();
  const FileStatus to = GetFileStatus(destination);
  // Nothing will change: the copy fails, or writes into a device.
  if (to.folder || to.special) return true;
  if (to.exists && (SameFile(source, destination) || !Replaceable(destination))) return true;
  if (to.exists) destination = ActualName(destination);
  copy_.active = true;
  copy_.exists = to.exists;
  copy_.path = destination;
  return true;
}

bool InstallRecord::AnnounceCopy(const CopiedContent* content) {
  if (failed_) return false;
  if (!copy_.active) return true;
  copy_.active = false;
  Content known;
  if (content) known = {content->size, content->hash};
  return Announce(copy_.path, copy_.exists, content ? &known : nullptr, false);
}

bool InstallRecord::BeforeWrite(const std::string& target, const std::string* bytes) {
  if (failed_) return false;
  pending_ = Pending();
  const FileStatus to = GetFileStatus(target);
  if (to.folder || to.special || (to.exists && !Replaceable(target))) return true;
  Content content;
  if (bytes) {
    ContentHash h;
    h.Add(*bytes);
    content = {h.Size(), h.Value()};
  }
  return Announce(to.exists ? ActualName(target) : target, to.exists, bytes ? &content : nullptr, true);
}

std::string InstallRecord::NewTemporary(const std::string& target) {
  if (failed_ || !Begin()) return std::string();
  std::string name = target + "~trilo.tmp";
  for (int n = 2; PathExists(name); ++n) name = target + "~trilo" + std::to_string(n) + ".tmp";
  RecordEntry entry;
  entry.action = RecordAction::TemporaryFile;
  entry.path = RecordPath(name);
  return WriteLine(ManifestEntryLine(entry)) ? name : std::string();
}

void InstallRecord::AfterWrite(bool ok) {
  if (!pending_.active) return;
  pending_.active = false;
  if (!ok) {
    // The file stays as it was: the kept copy goes back, or goes.
    if (pending_.replaced) {
      if (!pending_.moved) RemoveFile(pending_.kept);
      else if (!RenameReplacing(pending_.kept, pending_.path) && CopyFileReplacing(pending_.kept, pending_.path).ok)
        RemoveFile(pending_.kept);
    }
    return;
  }
  unsigned long long size;
  uint64_t hash;
  if (pending_.hashAfter && HashFile(pending_.path, size, hash))
    WriteLine(ManifestWroteLine(RecordPath(pending_.path), size, hash));
}

void InstallRecord::Finish(bool completed) {
  if (!manifest_) return;
  const std::string state = ManifestStateField(completed ? RecordState::Completed : RecordState::Failed);
  if (std::fseek(manifest_, static_cast<long>(kManifestStateOffset), SEEK_SET) == 0)
    std::fwrite(state.data(), 1, state.size(), manifest_);
  std::fclose(manifest_);
  manifest_ = nullptr;
}

ReplacingOpen OpenReplacing(ReplacingFile& file, const std::string& target, InstallRecord* record) {
  if (!record) return file.Open(target) ? ReplacingOpen::Opened : ReplacingOpen::OpenFailed;
  const std::string temporary = record->NewTemporary(target);
  if (temporary.empty()) return ReplacingOpen::RecordFailed;
  return file.Open(target, temporary) ? ReplacingOpen::Opened : ReplacingOpen::OpenFailed;
}

CopyOutcome InstallerApp::RecordedCopy(const std::string& source, const std::string& destination) {
  if (!Record) return CopyFileReplacing(source, destination);
  const CopyOutcome outcome = CopyFileReplacing(
      source, destination, [this](const CopiedContent* content) { return Record->AnnounceCopy(content); });
  Record->AfterWrite(outcome.ok);
  return outcome;
}

bool InstallerApp::RecordFailed() {
  UI.ShowMessage(Record->Error());
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
  Record = nullptr;
  record.Finish(ok);
  return ok;
}

}  // namespace trilo
