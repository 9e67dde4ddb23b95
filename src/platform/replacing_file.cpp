#include "platform/replacing_file.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <set>

#include "text/text_util.h"

namespace trilo {

namespace {

// A run of ours picks a free name within these many tries, or gives up.
constexpr int kNameAttempts = 100;
const char kPrefix[] = "~trilo-";
const char kSuffix[] = ".tmp";
// The one name earlier versions wrote beside each target.
const char kLegacySuffix[] = "~trilo.tmp";

std::atomic<unsigned long> nextCounter{1};

// The temporary names this process has open, which are not stale whatever
// their process id says.
std::mutex inFlightLock;
std::set<std::string>& InFlight() {
  static std::set<std::string> names;
  return names;
}

void SetInFlight(const std::string& path, bool inFlight) {
  std::lock_guard<std::mutex> hold(inFlightLock);
  if (inFlight) InFlight().insert(path);
  else InFlight().erase(path);
}

bool IsInFlight(const std::string& path) {
  std::lock_guard<std::mutex> hold(inFlightLock);
  return InFlight().count(path) != 0;
}

// A decimal number without sign or leading zeros, as TemporaryName writes it.
bool ParseNumber(const std::string& text, unsigned long& value) {
  if (text.empty() || text.size() > 19 || (text[0] == '0' && text.size() > 1)) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  value = std::strtoul(text.c_str(), nullptr, 10);
  return true;
}

}  // namespace

std::string ReplacingFile::TemporaryName(unsigned long pid, unsigned long counter) {
  return kPrefix + std::to_string(pid) + "-" + std::to_string(counter) + kSuffix;
}

bool ReplacingFile::IsTemporaryName(const std::string& entry, const std::string& targetName, unsigned long& pid) {
  pid = 0;
  if (EqualsIgnoreCase(entry, targetName + kLegacySuffix)) return true;
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
    // id on a name we do not hold was an earlier process's.
    const std::string path = folder_ + entry;
    if (pid == self ? IsInFlight(path) : pid != 0 && ProcessRunning(pid)) continue;
    RemoveStale(path);
  }
}

std::string ReplacingFile::NextTemporaryPath() const {
  return folder_ + TemporaryName(OwnProcessId(), nextCounter++);
}

bool ReplacingFile::Open(const std::string& target) { return Open(target, std::string()); }

bool ReplacingFile::Open(const std::string& target, const std::string& temporary) {
  Abandon();
  SplitTarget(target, folder_, name_);
  if (name_.empty()) return false;  // a folder's path names no file
  wantedTemp_.clear();
  if (!temporary.empty()) {
    std::string folder, name;
    SplitTarget(temporary, folder, name);
    wantedTemp_ = folder + name;
  }
  RemoveStaleTemporaries();
  if (CreateUnnamed()) {
    unnamed_ = true;
    return true;
  }
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string temp = attempt == 0 && !wantedTemp_.empty() ? wantedTemp_ : NextTemporaryPath();
    const Outcome created = CreateNamed(temp);
    if (created == Outcome::Done) {
      temp_ = temp;
      SetInFlight(temp_, true);
      return true;
    }
    if (created == Outcome::Failed) return false;
  }
  return false;
}

bool ReplacingFile::Write(const std::string& bytes) { return IsOpen() && WriteBytes(bytes); }

bool ReplacingFile::NameUnnamedFile() {
  // Straight under the target's name when nothing stands there: no moment
  // with a second name at all.
  Outcome linked = LinkUnnamed(folder_ + name_);
  if (linked != Outcome::NameTaken) return linked == Outcome::Done;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string temp = attempt == 0 && !wantedTemp_.empty() ? wantedTemp_ : NextTemporaryPath();
    linked = LinkUnnamed(temp);
    if (linked == Outcome::Done) {
      temp_ = temp;
      SetInFlight(temp_, true);
    }
    if (linked != Outcome::NameTaken) return linked == Outcome::Done;
  }
  return false;
}

bool ReplacingFile::Commit() {
  if (!IsOpen()) return false;
  // On disk before it has the target's name: a power cut must not find an
  // empty file there.
  bool ok = FlushToDisk();
  if (ok && unnamed_) ok = NameUnnamedFile();
  ok = CloseFile() && ok;
  unnamed_ = false;
  if (ok && !temp_.empty()) ok = ReplaceTarget(temp_, folder_ + name_);
  if (!ok) {
    Abandon();
    return false;
  }
  SetInFlight(temp_, false);
  temp_.clear();
  SyncFolder();
  return true;
}

void ReplacingFile::Abandon() {
  if (IsOpen()) CloseFile();
  unnamed_ = false;
  if (!temp_.empty()) {
    RemoveName(temp_);
    SetInFlight(temp_, false);
    temp_.clear();
  }
}

}  // namespace trilo
