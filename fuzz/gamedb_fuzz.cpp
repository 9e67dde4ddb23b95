// Feeds arbitrary bytes to the game database reader. Beyond crashes, hangs
// and sanitizer reports it checks what the installer relies on: a failed
// read has a message to show, and whatever was read is written in a form
// that reads back as the same database (each named block with the one space
// its closing brace gains).
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "formats/game_database.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "gamedb_fuzz: %s\n", what);
    std::abort();
  }
}

bool SameAfterWriting(const trilo::GameDatabase& read, const trilo::GameDatabase& again) {
  if (read.DefaultScoring.Text() != again.DefaultScoring.Text()) return false;
  if (read.SeasonScoringInfo.Text() != again.SeasonScoringInfo.Text()) return false;
  if (read.CircuitCount() != again.CircuitCount()) return false;
  for (int i = 0; i < read.CircuitCount(); ++i) {
    const trilo::CircuitEntry& a = read.Circuits()[i];
    const trilo::CircuitEntry& b = again.Circuits()[i];
    const std::string folders = a.FolderCreateActions.empty() ? "" : a.FolderCreateActions + " ";
    if (a.Name != b.Name || !a.RaceBlock || !b.RaceBlock || a.RaceBlock->Text() + " " != b.RaceBlock->Text() ||
        a.RaceTimes != b.RaceTimes || a.QualifyTimes != b.QualifyTimes || a.AIRaceSetup != b.AIRaceSetup ||
        a.AIQualSetup != b.AIQualSetup || folders != b.FolderCreateActions)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  trilo::GameDatabase db;
  const trilo::GdbError error = db.ReadString(text);
  Check(error == trilo::GdbError::None || *trilo::GdbErrorText(error) != '\0', "a failed read has no message");
  if (error != trilo::GdbError::None) return 0;

  const std::string written = db.WriteString(true);
  trilo::GameDatabase again;
  if (again.ReadString(written) != trilo::GdbError::None) {
    // Only a block already at the largest size can outgrow it by its space.
    bool full = false;
    for (const trilo::CircuitEntry& e : db.Circuits())
      full = full || e.RaceBlock->Text().size() == trilo::BlockText::kMaxLength;
    Check(full, "what was written does not read back");
    return 0;
  }
  Check(SameAfterWriting(db, again), "what was written reads back as another database");

  // Merging a database into its own rewrite adds nothing.
  Check(again.Merge(db) == trilo::GdbError::None && again.CircuitCount() == db.CircuitCount(), "a merge of the same circuits adds some");
  return 0;
}
