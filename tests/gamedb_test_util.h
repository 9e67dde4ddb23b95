#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "formats/game_database.h"
#include "install/game_database_file.h"
#include "test_support.h"

namespace trilo {
namespace test {

/// The whole model as one text, bytes escaped, for comparisons that show
/// what differs.
inline std::string Describe(const GameDatabase& db) {
  auto quote = [](const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
      if (c == '\n') out += "\\n";
      else if (c == '\r') out += "\\r";
      else if (c == '\t') out += "\\t";
      else if (c == '"' || c == '\\') out += std::string("\\") + static_cast<char>(c);
      else if (c < 0x20 || c >= 0x7f) {
        static const char hex[] = "0123456789abcdef";
        out += "\\x";
        out += hex[c >> 4];
        out += hex[c & 15];
      } else out += static_cast<char>(c);
    }
    return out + "\"";
  };
  auto block = [&](const BlockText& b) {
    return "(" + std::to_string(b.ChunkCount()) + ")" + quote(b.Text());
  };
  std::string out = "DefaultScoring " + block(db.DefaultScoring) + "\n";
  out += "SeasonScoringInfo " + block(db.SeasonScoringInfo) + "\n";
  for (const CircuitEntry& e : db.Circuits()) {
    out += "circuit " + quote(e.Name) + " block " + (e.RaceBlock ? block(*e.RaceBlock) : "none");
    out += " race " + quote(e.RaceTimes) + " qualify " + quote(e.QualifyTimes) + " airace " +
           quote(e.AIRaceSetup) + " aiqual " + quote(e.AIQualSetup) + " folders " +
           quote(e.FolderCreateActions) + "\n";
  }
  return out;
}

/// What the merge step shows for a failure: nothing, or its one message.
inline std::vector<std::string> Shown(GdbError error) {
  if (error == GdbError::None) return {};
  return {GdbErrorText(error)};
}

/// One read of a text, with the messages it would show.
struct ReadOutcome {
  std::unique_ptr<GameDatabase> db = std::make_unique<GameDatabase>();
  bool ok = false;
  std::vector<std::string> messages;
};

/// Reads `text` from memory and, written to a real file, from disk, and
/// checks that both roads give the same model and messages.
inline ReadOutcome ReadGdb(const std::string& text) {
  ReadOutcome fromString;
  const GdbError error = fromString.db->ReadString(text);
  fromString.ok = error == GdbError::None;
  fromString.messages = Shown(error);

  TempDir dir;
  WriteFile(dir / "game.gdb", text);
  GameDatabase fromFile;
  EXPECT_EQ(Shown(ReadGameDatabaseFile(dir / "game.gdb", fromFile)), fromString.messages);
  EXPECT_EQ(Describe(fromFile), Describe(*fromString.db));
  return fromString;
}

}  // namespace test
}  // namespace trilo
