#include <cstring>

#include "formats/game_database.h"

namespace trilo {

// Collects the output with every LF turned into CR LF.
class GameDatabase::Sink {
 public:
  void Put(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t lf; (lf = text.find('\n', start)) != std::string_view::npos; start = lf + 1) {
      out_.append(text.data() + start, lf - start);
      out_.append("\r\n", 2);
    }
    out_.append(text.data() + start, text.size() - start);
  }

  void Put(const BlockText& text) {
    for (int i = 0; i < text.ChunkCount(); ++i) Put(text.Chunk(i));
  }

  std::string& Held() { return out_; }

 private:
  std::string out_;
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
  Sink sink;
  sink.Held().reserve(size + size / 16);
  WriteSections(sink, folderActions);
  return std::move(sink.Held());
}

}  // namespace trilo
