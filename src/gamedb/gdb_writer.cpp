#include <cstring>

#include "app/interaction.h"
#include "gamedb/game_database.h"
#include "platform/filesystem.h"
#include "text/replacing_file.h"

namespace trilo {

// Collects the output with every LF turned into CR LF and hands it to the
// file in large pieces, remembering whether any write failed.
class GameDatabase::Sink {
 public:
  explicit Sink(std::FILE* file) : file_(file) {}

  void Put(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t lf; (lf = text.find('\n', start)) != std::string_view::npos; start = lf + 1) {
      out_.append(text.data() + start, lf - start);
      out_.append("\r\n", 2);
    }
    out_.append(text.data() + start, text.size() - start);
    if (file_ && out_.size() >= kFlushSize) Flush();
  }

  void Put(const BlockText& text) {
    for (int i = 0; i < text.ChunkCount(); ++i) Put(text.Chunk(i));
  }

  /// Writes what is held; false once any write has failed.
  bool Flush() {
    if (file_ && ok_ && !out_.empty())
      ok_ = std::fwrite(out_.data(), 1, out_.size(), file_) == out_.size();
    if (file_) out_.clear();
    return ok_;
  }

  std::string& Held() { return out_; }

 private:
  static constexpr std::size_t kFlushSize = 1 << 16;
  std::FILE* file_;
  std::string out_;
  bool ok_ = true;
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
  Sink sink(nullptr);
  WriteSections(sink, folderActions);
  return std::move(sink.Held());
}

bool GameDatabase::Write(const std::string& path, bool folderActions, Interaction& ui) const {
  // The new content goes to a file beside the old one and replaces it only
  // when all of it is on disk. An existing file that cannot be opened for
  // writing (read-only, in use) is refused up front, as writing in place
  // would have been, rather than replaced behind its back.
  bool openable = true;
  if (PathExists(path)) {
    std::FILE* probe = OpenFile(path, "r+b");
    openable = probe != nullptr;
    if (probe) std::fclose(probe);
  }
  ReplacingFile file;
  if (!openable || !file.Open(path)) {
    ui.ShowMessage("Error opening game.gdb file for writing");
    return false;
  }
  Sink sink(file.File());
  WriteSections(sink, folderActions);
  if (!sink.Flush() || !file.Commit()) {
    ui.ShowMessage("Error writing game.gdb file");
    return false;
  }
  return true;
}

}  // namespace trilo
