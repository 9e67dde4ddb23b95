#include "formats/game_database.h"

namespace trilo {

CircuitEntry* GameDatabase::Find(const std::string& name) {
  for (CircuitEntry& entry : circuits_)
    if (entry.Name == name) return &entry;
  return nullptr;
}

const CircuitEntry* GameDatabase::Find(const std::string& name) const {
  for (const CircuitEntry& entry : circuits_)
    if (entry.Name == name) return &entry;
  return nullptr;
}

bool GameDatabase::AddCircuit(CircuitEntry entry) {
  if (CircuitCount() >= kMaxCircuits || Find(entry.Name)) return false;
  circuits_.push_back(std::move(entry));
  return true;
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
  for (const CircuitEntry* entry : missing) circuits_.push_back(*entry);
  return GdbError::None;
}

}  // namespace trilo
