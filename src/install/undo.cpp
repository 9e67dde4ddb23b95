#include "install/undo.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "install/install_record.h"
#include "platform/file_ops.h"
#include "platform/filesystem.h"
#include "platform/replacing_file.h"
#include "platform/user_path.h"
#include "text/content_hash.h"
#include "text/text_util.h"
#include "text/utf8.h"

namespace trilo {

namespace {

std::string LastStep(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsNumber(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Whether the file at `path` is still what the install wrote there.
bool Unchanged(const RecordEntry& entry, const std::string& path) {
  if (!entry.hashed) return false;
  const FileStatus status = GetFileStatus(path);
  if (!status.exists || status.folder || status.size != entry.size) return false;
  ContentHash hash(entry.algorithm);
  return HashWholeFile(path, hash) && hash.Value() == entry.hash;
}

bool SameContent(const std::string& a, const std::string& b) {
  ContentHash ha, hb;
  return HashWholeFile(a, ha) && HashWholeFile(b, hb) && ha.Size() == hb.Size() && ha.Value() == hb.Value();
}

bool RemoveTree(const std::string& folder) {
  std::vector<FolderEntry> entries;
  ReadFolder(folder, entries);
  for (const FolderEntry& entry : entries) {
    const std::string path = folder + entry.name;
    if (entry.isFolder && !entry.isLink ? !RemoveTree(path + "\\") : !RemoveFile(path)) return false;
  }
  const Status removed = RemoveFolder(folder);
  return removed || removed.Missing();
}

// The record says what is left of it, written whole: an earlier version's
// state field may be too narrow to be written over in place.
Status MarkPartlyUndone(const InstalledRecord& record) {
  const std::string path = record.folder + kManifestName;
  std::string text;
  Status status = ReadWholeFile(path, text);
  ReplacingFile file;
  if (status) status = file.Open(path);
  if (status) status = file.Write(WithManifestState(text, RecordState::PartlyUndone));
  if (status) status = file.Commit();
  return status;
}

std::string Plural(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::vector<InstalledRecord> ListInstalledRecords(const std::string& gameFolder) {
  std::vector<InstalledRecord> records;
  const std::string root = gameFolder + kRecordsFolder + "\\";
  std::vector<FolderEntry> entries;
  ReadFolder(root, entries);
  for (const FolderEntry& entry : entries) {
    if (!entry.isFolder || entry.name.empty() || entry.name[0] < '0' || entry.name[0] > '9') continue;
    InstalledRecord record;
    record.name = entry.name;
    record.number = std::strtoul(entry.name.c_str(), nullptr, 10);
    record.folder = root + entry.name + "\\";
    // A record without its manifest was cut short before it said anything.
    std::string text;
    if (ReadWholeFile(record.folder + kManifestName, text)) record.manifest = ParseManifest(text);
    if (record.manifest.header.title.empty()) {
      const size_t dash = entry.name.find('-');
      if (dash != std::string::npos) record.manifest.header.title = entry.name.substr(dash + 1);
    }
    records.push_back(record);
  }
  std::sort(records.begin(), records.end(), [](const InstalledRecord& a, const InstalledRecord& b) {
    return a.number != b.number ? a.number > b.number : a.name > b.name;
  });
  return records;
}

const InstalledRecord* FindInstalledRecord(const std::vector<InstalledRecord>& records, const std::string& name) {
  if (records.empty()) return nullptr;
  if (EqualsIgnoreCase(name, "last")) return &records.front();
  for (const InstalledRecord& record : records)
    if (EqualsIgnoreCase(record.name, name)) return &record;
  if (IsNumber(name))
    for (const InstalledRecord& record : records)
      if (record.number == std::strtoul(name.c_str(), nullptr, 10)) return &record;
  return nullptr;
}

const InstalledRecord* LaterRecordTouching(const std::vector<InstalledRecord>& records,
                                           const InstalledRecord& record, std::string& path) {
  std::set<std::string> mine;
  for (const RecordEntry& entry : record.manifest.entries)
    if (entry.action != RecordAction::TemporaryFile) mine.insert(FoldCase(entry.path));
  // The newest first: that is the one to undo before the others.
  for (const InstalledRecord& later : records) {
    if (later.number <= record.number) break;
    for (const RecordEntry& entry : later.manifest.entries)
      if (mine.count(FoldCase(entry.path))) {
        path = entry.path;
        return &later;
      }
  }
  return nullptr;
}

std::string InstalledRecordsText(const std::vector<InstalledRecord>& records) {
  std::vector<std::string> titles;
  size_t width = 0;
  for (const InstalledRecord& record : records) {
    const RecordHeader& h = record.manifest.header;
    titles.push_back(TextForUser(h.title + (h.version.empty() ? "" : " (" + h.version + ")")));
    width = std::max(width, TextColumns(titles.back()));
  }
  std::string text;
  for (size_t i = 0; i < records.size(); ++i) {
    const InstallManifest& m = records[i].manifest;
    int created = 0, replaced = 0, folders = 0;
    for (const RecordEntry& entry : m.entries) {
      if (entry.action == RecordAction::CreatedFile) ++created;
      else if (entry.action == RecordAction::ReplacedFile) ++replaced;
      else if (entry.action == RecordAction::CreatedFolder) ++folders;
    }
    const size_t dash = records[i].name.find('-');
    const std::string title = titles[i] + std::string(width - TextColumns(titles[i]), ' ');
    text += records[i].name.substr(0, dash) + "  " + title + "  " + (m.header.date.empty() ? "?" : m.header.date) +
            "  " + RecordStateText(m.header.state) + "  " + Plural(created, "file", "files") + " created, " +
            std::to_string(replaced) + " replaced, " + Plural(folders, "folder", "folders") + " created\n";
  }
  return text;
}

UndoPlan PlanUndo(const std::string& gameFolder, const InstalledRecord& record, bool force) {
  UndoPlan plan;
  plan.gameFolder = gameFolder;
  plan.record = &record;
  const std::vector<RecordEntry>& entries = record.manifest.entries;
  for (size_t i = entries.size(); i-- > 0;) {
    const RecordEntry& entry = entries[i];
    // The action an install was cut short at may have stopped halfway.
    const bool forgiven = force || (i + 1 == entries.size() && record.manifest.header.state == RecordState::CutShort);
    UndoAction a;
    a.shown = entry.path;
    a.path = FullPath(entry.path, gameFolder);
    const FileStatus now = GetFileStatus(a.path);
    switch (entry.action) {
      case RecordAction::CreatedFolder:
        if (now.folder) a.step = UndoStep::RemoveFolder;
        break;
      case RecordAction::TemporaryFile:
        if (now.exists && !now.folder) a.step = UndoStep::RemoveFile;
        break;
      case RecordAction::CreatedFile:
        if (!now.exists) break;
        a.step = !now.folder && (forgiven || Unchanged(entry, a.path)) ? UndoStep::RemoveFile : UndoStep::LeaveChanged;
        break;
      case RecordAction::ReplacedFile:
        a.replaced = true;
        a.kept = record.folder + entry.kept;
        // No kept copy: the file was never replaced, or is back already.
        if (!GetFileStatus(a.kept).exists) break;
        if (!now.exists || (!now.folder && (forgiven || Unchanged(entry, a.path)))) a.step = UndoStep::Restore;
        else if (!now.folder && SameContent(a.path, a.kept)) a.step = UndoStep::DropKept;
        else a.step = UndoStep::LeaveChanged;
        break;
    }
    switch (a.step) {
      case UndoStep::Restore: ++plan.restores; break;
      case UndoStep::RemoveFile: ++plan.fileRemovals; break;
      case UndoStep::RemoveFolder: ++plan.folderRemovals; break;
      case UndoStep::LeaveChanged: plan.changed.push_back(a.shown); break;
      default: break;
    }
    plan.actions.push_back(a);
  }
  return plan;
}

std::string UndoSummary(const UndoPlan& plan) {
  const RecordHeader& h = plan.record->manifest.header;
  std::string text = "Install " + TextForUser(plan.record->name) +
                     (h.version.empty() ? "" : ", version " + TextForUser(h.version)) +
                     ", of " + (h.date.empty() ? "an unknown date" : h.date) + " (" + RecordStateText(h.state) +
                     ")\n";
  if (!h.package.empty()) text += "From the package in " + PathForUser(h.package) + "\n";
  text += "To restore: " + Plural(plan.restores, "file", "files") + "\n";
  text += "To remove: " + Plural(plan.fileRemovals, "file", "files") + " and " +
          Plural(plan.folderRemovals, "folder", "folders") + " (a folder only when empty)\n";
  if (!plan.changed.empty()) {
    text += "Changed since the install, to be left as they are:\n";
    for (const std::string& path : plan.changed) text += "  " + TextForUser(path) + "\n";
  }
  return text;
}

UndoOutcome RunUndo(const UndoPlan& plan, InstallProgress& progress) {
  UndoOutcome out;
  auto fail = [&out](const std::string& message) {
    out.ok = false;
    out.failure = message;
  };
  progress.SetRange(static_cast<int>(plan.actions.size()));
  for (const UndoAction& a : plan.actions) {
    progress.ShowSource(a.step == UndoStep::Restore ? a.kept : std::string());
    progress.ShowDestination(a.path);
    switch (a.step) {
      case UndoStep::Restore: {
        // The original's name as it was, when the install's copy spells it
        // otherwise.
        const FileStatus now = GetFileStatus(a.path);
        if (now.exists && LastStep(ActualName(a.path)) != LastStep(a.path) && !RemoveFile(a.path)) {
          fail("Couldn't remove " + a.shown);
          break;
        }
        if (!RelocateFile(a.kept, a.path))
          fail("Couldn't restore " + a.shown + " from the install record " + PathForMessage(plan.record->folder));
        break;
      }
      case UndoStep::RemoveFile:
        if (!RemoveFile(a.path) && PathExists(a.path)) fail("Couldn't remove " + a.shown);
        break;
      case UndoStep::RemoveFolder:
        if (const Status removed = RemoveFolder(a.path); removed.NotEmpty()) out.leftFolders.push_back(a.shown);
        else if (!removed && !removed.Missing()) fail("Couldn't remove the folder " + a.shown);
        break;
      case UndoStep::DropKept:
        if (!RemoveFile(a.kept)) fail("Couldn't remove " + PathForMessage(a.kept));
        break;
      case UndoStep::LeaveChanged:
        out.changed.push_back(a.shown);
        break;
      case UndoStep::Nothing: break;
    }
    if (!out.ok) return out;
    progress.Step();
    progress.PumpMessages();
  }
  progress.ClearTexts();
  if (!out.changed.empty()) {
    out.incomplete = true;
    if (const Status marked = MarkPartlyUndone(*plan.record); !marked)
      fail(marked.Explain("Couldn't write the install record " + PathForMessage(marked.Path())));
    return out;
  }
  if (!RemoveTree(plan.record->folder)) {
    fail("Couldn't remove the install record " + PathForMessage(plan.record->folder));
    return out;
  }
  out.recordRemoved = true;
  RemoveFolder(plan.gameFolder + kRecordsFolder);
  return out;
}

std::string UndoLeftText(const UndoOutcome& outcome, const UndoPlan& plan) {
  std::string text;
  if (!outcome.changed.empty()) {
    text += "Changed since the install, and left as they are:";
    for (const std::string& path : outcome.changed) text += "\n  " + path;
    if (!outcome.recordRemoved) text += "\nWhat the install replaced stays in " + PathForMessage(plan.record->folder);
  }
  if (!outcome.leftFolders.empty()) {
    if (!text.empty()) text += "\n";
    text += "Not empty, and left:";
    for (const std::string& path : outcome.leftFolders) text += "\n  " + path;
  }
  return text;
}

}  // namespace trilo
