#include "platform/replacing_file.h"

#include <cerrno>
#include <cstdlib>
#include <set>

#include "platform/system_info.h"
#include "text/code_page.h"
#include "text/text_util.h"

namespace trilo {

namespace {

// A run of ours picks a free name within these many tries, or gives up.
constexpr int kNameAttempts = 100;
const char kPrefix[] = "~trilo-";
const char kSuffix[] = ".tmp";
// Earlier versions wrote "NAME~trilo.tmp" beside each target, then
// "NAME~trilo2.tmp" and on when that was taken.
const char kLegacyMark[] = "~trilo";

constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kInvalidHandle = 6;

Status NotOpen(const std::string& target) {
  return Status::Failure(target, EBADF, kInvalidHandle, "the new file is not open", Status::Phase::Write);
}

// One thread, as everywhere in the program: plain counters and sets.
unsigned long nextCounter = 1;

// The temporary names this process has open, which are not stale whatever
// their process id says.
std::set<std::string>& InFlight() {
  static std::set<std::string> names;
  return names;
}

// A decimal number without sign or leading zeros, as TemporaryName writes it.
bool ParseNumber(const std::string& text, unsigned long& value) {
  if (text.empty() || text.size() > 19 || (text[0] == '0' && text.size() > 1)) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  value = std::strtoul(text.c_str(), nullptr, 10);
  return true;
}

bool IsLegacyName(const std::string& entry, const std::string& targetName) {
  const std::string stem = targetName + kLegacyMark;
  const size_t suffix = sizeof kSuffix - 1;
  if (entry.size() < stem.size() + suffix || !EqualsIgnoreCase(entry.substr(0, stem.size()), stem) ||
      entry.compare(entry.size() - suffix, suffix, kSuffix) != 0)
    return false;
  const std::string middle = entry.substr(stem.size(), entry.size() - stem.size() - suffix);
  unsigned long n = 0;
  return middle.empty() || (ParseNumber(middle, n) && n >= 2);
}

}  // namespace

std::string ReplacingFile::TemporaryName(unsigned long pid, unsigned long counter) {
  return kPrefix + std::to_string(pid) + "-" + std::to_string(counter) + kSuffix;
}

std::string ReplacingFile::TemporaryPathBeside(const std::string& target) {
  // The caller's spelling of the folder is kept; "C:name" lies in drive C's
  // current folder.
  const CodePage cp = ActiveCodePage();
  size_t cut = FindLastChar(target, '\\', cp);
  const size_t slash = FindLastChar(target, '/', cp);
  if (cut == std::string::npos || (slash != std::string::npos && slash > cut)) cut = slash;
  if (cut == std::string::npos && target.size() >= 2 && target[1] == ':') cut = 1;
  return target.substr(0, cut == std::string::npos ? 0 : cut + 1) + NewTemporaryName();
}

std::string ReplacingFile::NewTemporaryName() { return TemporaryName(OwnProcessId(), nextCounter++); }

bool ReplacingFile::IsTemporaryName(const std::string& entry, const std::string& targetName, unsigned long& pid) {
  pid = 0;
  if (IsLegacyName(entry, targetName)) return true;
  const size_t prefix = sizeof kPrefix - 1, suffix = sizeof kSuffix - 1;
  if (entry.size() <= prefix + suffix || entry.compare(0, prefix, kPrefix) != 0 ||
      entry.compare(entry.size() - suffix, suffix, kSuffix) != 0)
    return false;
  const std::string middle = entry.substr(prefix, entry.size() - prefix - suffix);
  const size_t dash = middle.find('-');
  unsigned long counter = 0;
  return dash != std::string::npos && ParseNumber(middle.substr(0, dash), pid) &&
         ParseNumber(middle.substr(dash + 1), counter);
}

ReplacingFile::~ReplacingFile() { Abandon(); }

void ReplacingFile::RemoveStaleTemporaries() const {
  const unsigned long self = OwnProcessId();
  for (const std::string& entry : FolderEntries(folder_)) {
    unsigned long pid = 0;
    if (!IsTemporaryName(entry, name_, pid)) continue;
    // A process that still runs may be about to rename its file. Our own
    // id on a name we do not hold was an earlier process's. A name of an
    // earlier version tells no process: it was left by a run that ended.
    const std::string path = folder_ + entry;
    if (pid == self ? InFlight().count(path) != 0 : pid != 0 && ProcessRunning(pid)) continue;
    RemoveStale(path);
  }
}

Status ReplacingFile::Open(const std::string& target) { return Open(target, std::string()); }

Status ReplacingFile::Open(const std::string& target, const std::string& temporary) {
  Abandon();
  SplitTarget(target, folder_, name_);
  // A folder's path names no file.
  if (name_.empty()) return Status::Failure(target, EISDIR, kAccessDenied, "names a folder", Status::Phase::Create);
  wantedTemp_.clear();
  if (!temporary.empty()) {
    std::string folder, name;
    SplitTarget(temporary, folder, name);
    wantedTemp_ = folder + name;
  }
  RemoveStaleTemporaries();
  if (CreateUnnamed()) {
    unnamed_ = true;
    return Status();
  }
  return OpenNamed();
}

Status ReplacingFile::OpenNamed() {
  Status created;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string temp = attempt == 0 && !wantedTemp_.empty() ? wantedTemp_ : folder_ + NewTemporaryName();
    created = CreateNamed(temp);
    if (created) {
      temp_ = temp;
      InFlight().insert(temp_);
      return created;
    }
    if (!created.AlreadyExists()) break;
  }
  return created.At(Status::Phase::Create);
}

Status ReplacingFile::Write(const std::string& bytes) {
  if (!IsOpen()) return NotOpen(folder_ + name_);
  return WriteBytes(bytes);
}

Status ReplacingFile::NameUnnamedFile() {
  // Straight under the target's name when nothing stands there: no moment
  // with a second name at all.
  Status linked = LinkUnnamed(folder_ + name_);
  if (!linked.AlreadyExists()) return linked;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string temp = attempt == 0 && !wantedTemp_.empty() ? wantedTemp_ : folder_ + NewTemporaryName();
    linked = LinkUnnamed(temp);
    if (linked) {
      temp_ = temp;
      InFlight().insert(temp_);
    }
    if (!linked.AlreadyExists()) return linked;
  }
  return linked;
}

Status ReplacingFile::Commit() {
  if (!IsOpen()) return NotOpen(folder_ + name_);
  // On disk before it has the target's name: a power cut must not find an
  // empty file there.
  Status status = FlushToDisk();
  if (status && unnamed_) status = NameUnnamedFile();
  const Status closed = CloseFile();
  if (status) status = closed;
  unnamed_ = false;
  if (status && !temp_.empty()) status = ReplaceTarget(temp_, folder_ + name_);
  if (!status) {
    Abandon();
    return status.At(Status::Phase::Write);
  }
  InFlight().erase(temp_);
  temp_.clear();
  SyncFolder();
  return status;
}

void ReplacingFile::Abandon() {
  if (IsOpen()) CloseFile();
  unnamed_ = false;
  if (!temp_.empty()) {
    RemoveName(temp_);
    InFlight().erase(temp_);
    temp_.clear();
  }
}

}  // namespace trilo
