// Feeds arbitrary bytes to the game database reader. Beyond crashes, hangs
// and sanitizer reports it checks what the installer relies on: a failed
// read has a message to show, and whatever was read is written in a form
// that reads back as the same database (each named block with the one space
// its closing brace gains), names with blanks and their values included.
// What the reader tells an observer must agree with the text and with what
// it stored.
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

// Line numbers within the text and never going back; one added circuit
// for each entry stored.
class LineCheck : public trilo::GdbReadObserver {
 public:
  explicit LineCheck(int lines) : lines_(lines) {}
  void SectionOpened(const std::string&, int line, bool) override { See(line); }
  void CircuitListed(const std::string&, int line, bool added) override {
    See(line);
    if (added) ++added_;
  }
  void ValueRead(const std::string&, const std::string&, int line, bool) override { See(line); }
  // Told while the item around it is read, so only within the text.
  void CommentRead(int line) override { Check(line >= 1 && line <= lines_, "a comment past the end"); }
  void ReadFailed(trilo::GdbError, int line) override { Check(line >= 1 && line <= lines_, "a failure past the end"); }
  int added_ = 0;

 private:
  void See(int line) {
    Check(line >= last_ && line <= lines_, "a line number out of order or past the end");
    last_ = line;
  }
  int lines_;
  int last_ = 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int lines = 1;
  for (char c : text) lines += c == '\n';
  LineCheck observer(lines);
  trilo::GameDatabase db;
  const trilo::GdbError error = db.ReadString(text, &observer);
  Check(error == trilo::GdbError::None || *trilo::GdbErrorText(error) != '\0', "a failed read has no message");
  // The file's reader takes its text over and drops the CRs in place.
  trilo::GameDatabase owned;
  Check(owned.ReadOwnedString(std::string(text)) == error, "reading a taken-over text fails otherwise");
  if (error != trilo::GdbError::None) return 0;
  Check(owned.WriteString(true) == db.WriteString(true), "reading a taken-over text gives another database");
  Check(observer.added_ == db.CircuitCount(), "the observer was told of another number of circuits");

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
