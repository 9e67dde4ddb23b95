#include "formats/gdb_drops.h"

#include <algorithm>

namespace trilo {

namespace {

const std::string kFolderActions = kGdbSectionNames[6];

bool IsScoring(const std::string& section) {
  return section == kGdbSectionNames[0] || section == kGdbSectionNames[7];
}

}  // namespace

void GdbDropFinder::SectionOpened(const std::string& name, int line, bool known) {
  open_ = name;
  openLine_ = line;
  inside_ = true;
  if (!known) {
    drops_.push_back({GdbDropKind::UnknownSection, line, name, name});
  } else if (name == kFolderActions && !folderActions_) {
    drops_.push_back({GdbDropKind::FolderActions, line, name, name});
  } else if (IsScoring(name)) {
    // A later one replaces the whole text of the earlier.
    auto kept = scoring_.emplace(name, line);
    if (!kept.second) {
      drops_.push_back({GdbDropKind::Replaced, kept.first->second, name, name, line});
      kept.first->second = line;
    }
  }
}

void GdbDropFinder::CircuitListed(const std::string& name, int line, bool added) {
  entries_.emplace_back(name, line);
  if (!added) {
    drops_.push_back({GdbDropKind::RepeatedCircuit, line, kGdbSectionNames[1], name, listed_[name]});
    return;
  }
  listed_.emplace(name, line);
  if (name.find_first_of("=\n") != std::string::npos) unfit_.emplace_back(name, line);
}

void GdbDropFinder::ValueRead(const std::string& section, const std::string& name, int line, bool attached) {
  const bool folders = section == kFolderActions;
  // The whole section is dropped already.
  if (folders && !folderActions_) return;
  if (!attached) {
    drops_.push_back({folders ? GdbDropKind::SettingsBlock : GdbDropKind::ValueLine, line, section, name});
    return;
  }
  auto kept = valueLines_.emplace(std::make_pair(section, name), line);
  if (!kept.second) {
    drops_.push_back({GdbDropKind::Replaced, kept.first->second, section, name, line});
    kept.first->second = line;
  }
}

void GdbDropFinder::CommentRead(int line) {
  if (comments_.empty() || comments_.back() != line) comments_.push_back(line);
}

void GdbDropFinder::ReadFailed(GdbError error, int line) {
  error_ = error;
  errorLine_ = line;
}

int GdbDropFinder::ListedAt(const std::string& name) const {
  auto found = listed_.find(name);
  return found == listed_.end() ? 0 : found->second;
}

std::vector<GdbDrop> GdbDropFinder::Drops() const {
  std::vector<GdbDrop> drops = drops_;
  for (GdbDrop& drop : drops)
    if (drop.kind == GdbDropKind::ValueLine || drop.kind == GdbDropKind::SettingsBlock) drop.other = ListedAt(drop.name);
  std::stable_sort(drops.begin(), drops.end(), [](const GdbDrop& a, const GdbDrop& b) { return a.line < b.line; });
  return drops;
}

}  // namespace trilo
