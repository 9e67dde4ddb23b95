#include <algorithm>
#include <cstring>

#include "formats/game_database.h"

namespace trilo {

// Collects the output with every LF turned into CR LF, written through a
// cursor into room made ahead: at most two bytes for each one put.
class GameDatabase::Sink {
 public:
  explicit Sink(std::size_t expected) : out_(expected, '\0') {}

  void Put(std::string_view text) {
    if (out_.size() - used_ < 2 * text.size()) out_.resize(std::max(out_.size() * 2, used_ + 2 * text.size()));
    char* to = &out_[used_];
    const char* from = text.data();
    const char* const end = from + text.size();
    while (const char* lf = static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end - from)))) {
      std::memcpy(to, from, static_cast<std::size_t>(lf - from));
      to += lf - from;
      *to++ = '\r';
      *to++ = '\n';
      from = lf + 1;
    }
    std::memcpy(to, from, static_cast<std::size_t>(end - from));
    to += end - from;
    used_ = static_cast<std::size_t>(to - out_.data());
  }

  void Put(const BlockText& text) {
    for (int i = 0; i < text.ChunkCount(); ++i) Put(text.Chunk(i));
  }

  std::string Take() {
    out_.resize(used_);
    return std::move(out_);
  }

 private:
  std::string out_;
  std::size_t used_ = 0;
};

void GameDatabase::WriteSections(Sink& out, bool folderActions) const {
  out.Put("DefaultScoring\n{");
  out.Put(DefaultScoring);
  out.Put("}\n\n");

  out.Put("SeasonRaces\n{\n");
  for (const CircuitEntry& entry : circuits_) {
    out.Put("  ");
    out.Put(entry.Name);
    out.Put("\n  {");
    if (entry.RaceBlock) out.Put(*entry.RaceBlock);
    out.Put(" }\n");
  }
  out.Put("}\n\n");

  // The qualifying setups come before the race setups, as the game's own
  // files have them.
  static const struct {
    const char* header;
    std::string CircuitEntry::*field;
  } kValueSections[] = {
      {"F1_Circuit_Race_Times\n{\n", &CircuitEntry::RaceTimes},
      {"F1_Circuit_AI_Qual_Setup_Wetness00\n{\n", &CircuitEntry::AIQualSetup},
      {"F1_Circuit_AI_Race_Setup_Wetness00\n{\n", &CircuitEntry::AIRaceSetup},
      {"F1_Circuit_Qualify_Times\n{\n", &CircuitEntry::QualifyTimes},
  };
  for (const auto& section : kValueSections) {
    out.Put(section.header);
    for (const CircuitEntry& entry : circuits_) {
      const std::string& value = entry.*section.field;
      if (value.empty()) continue;
      out.Put("  ");
      out.Put(entry.Name);
      out.Put(" = ");
      out.Put(value);
      out.Put("\n");
    }
    out.Put("}\n\n");
  }

  if (folderActions) {
    out.Put("Circuit_Settings_Folder_Create_Actions\n{\n");
    for (const CircuitEntry& entry : circuits_) {
      if (entry.FolderCreateActions.empty()) continue;
      out.Put("  ");
      out.Put(entry.Name);
      out.Put("\n  {");
      out.Put(entry.FolderCreateActions);
      out.Put(" }\n");
    }
    out.Put("}\n\n");
  }

  out.Put("SeasonScoringInfo\n{");
  out.Put(SeasonScoringInfo);
  out.Put("}\n");
}

std::string GameDatabase::WriteString(bool folderActions) const {
  // Room for all of it at once: the texts, their CRs and the layout.
  std::size_t size = DefaultScoring.Text().size() + SeasonScoringInfo.Text().size() + 1024;
  for (const CircuitEntry& entry : circuits_) {
    size += 6 * entry.Name.size() + entry.RaceTimes.size() + entry.QualifyTimes.size() + entry.AIRaceSetup.size() +
            entry.AIQualSetup.size() + entry.FolderCreateActions.size() + 64;
    if (entry.RaceBlock) size += entry.RaceBlock->Text().size();
  }
  Sink sink(size + size / 16);
  WriteSections(sink, folderActions);
  return sink.Take();
}

}  // namespace trilo
