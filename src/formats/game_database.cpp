#include "formats/game_database.h"

namespace trilo {

CircuitEntry* GameDatabase::Find(const std::string& name) {
  auto found = index_.find(name);
  return found == index_.end() ? nullptr : &circuits_[found->second];
}

const CircuitEntry* GameDatabase::Find(const std::string& name) const {
  auto found = index_.find(name);
  return found == index_.end() ? nullptr : &circuits_[found->second];
}

bool GameDatabase::AddCircuit(CircuitEntry entry) {
  if (CircuitCount() >= kMaxCircuits || Find(entry.Name)) return false;
  Append(std::move(entry));
  return true;
}

void GameDatabase::Append(CircuitEntry entry) {
  index_.emplace(entry.Name, circuits_.size());
  circuits_.push_back(std::move(entry));
}

GdbError GameDatabase::Merge(const GameDatabase& source) {
  // Decided before anything is taken, so a merge that does not fit leaves
  // the table as it was.
  std::vector<const CircuitEntry*> missing;
  for (const CircuitEntry& entry : source.circuits_)
    if (!Find(entry.Name)) missing.push_back(&entry);
  if (circuits_.size() + missing.size() > static_cast<std::size_t>(kMaxCircuits))
    return GdbError::TooManyCircuits;
  circuits_.reserve(circuits_.size() + missing.size());
  for (const CircuitEntry* entry : missing) Append(*entry);
  return GdbError::None;
}

}  // namespace trilo
