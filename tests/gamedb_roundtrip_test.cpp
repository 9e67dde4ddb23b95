#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "formats/game_database.h"
#include "gamedb_test_util.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

// Builds random databases of what the written layout can carry: names that
// start with no blank and end with no white space (blanks inside them
// included), values without TAB or
// LF, texts with balanced braces, and no "//" anywhere (it would read as a
// comment). Everything else goes: CR, ^Z, bytes above 127, "}" inside names.
class Generator {
 public:
  explicit Generator(std::uint32_t seed) : rng_(seed) {}

  std::unique_ptr<GameDatabase> Database(bool folderActions) {
    auto db = std::make_unique<GameDatabase>();
    if (Chance(4)) db->DefaultScoring.Assign(Text(Chance(2) ? 40 : 300));
    if (Chance(4)) db->SeasonScoringInfo.Assign(Text(60));
    const int circuits = static_cast<int>(Below(Chance(10) ? 200 : 12));
    for (int i = 0; i < circuits; ++i) {
      CircuitEntry e;
      // A name with "=" can never carry values; blanks alone are no bar.
      e.Name = Chance(5) ? SpacedName() : Name();
      const bool spaced = e.Name.find('=') != std::string::npos;
      if (!Chance(20)) {
        auto block = std::make_shared<BlockText>();
        size_t length = Chance(8) ? 129 * Below(4) + Below(3) : Below(200);
        block->Assign(Text(length));
        e.RaceBlock = block;
      }
      if (!spaced) {
        if (Chance(2)) e.RaceTimes = Value();
        if (Chance(2)) e.QualifyTimes = Value();
        if (Chance(3)) e.AIRaceSetup = Value();
        if (Chance(3)) e.AIQualSetup = Value();
      }
      if (folderActions && Chance(2)) e.FolderCreateActions = Text(Below(80));
      db->AddCircuit(std::move(e));  // a name drawn twice is simply not added
    }
    return db;
  }

 private:
  std::uint32_t Below(std::uint32_t n) { return n ? rng_() % n : 0; }
  bool Chance(std::uint32_t outOf) { return Below(outOf) == 0; }

  char NameChar(bool first) {
    static const std::string pool =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.:()[]!#$%&*+,;<>?@^~|'\"`/}\r\x1a\xe9\x81";
    for (;;) {
      char c = pool[Below(static_cast<std::uint32_t>(pool.size()))];
      if (first && c == '}') continue;  // "}" there would close the section
      return c;
    }
  }

  std::string Name() {
    std::string s;
    const size_t length = 1 + Below(12);
    while (s.size() < length) {
      char c = NameChar(s.empty());
      if (c == '/' && !s.empty() && s.back() == '/') continue;
      s += c;
    }
    while (!s.empty() && s.back() == '\r') s.pop_back();
    return s.empty() ? "n" : s;
  }

  std::string SpacedName() {
    std::string s = Name();
    const int words = 1 + static_cast<int>(Below(3));
    for (int i = 0; i < words; ++i) {
      s += Chance(3) ? "\t" : (Chance(2) ? " " : "  ");
      if (Chance(3)) s += "=";
      s += Name();
    }
    return s;
  }

  std::string Value() {
    static const std::string pool = "0123456789:. abc={}/\r\x1a\xf3";
    std::string s;
    const size_t length = 1 + Below(20);
    while (s.size() < length) {
      char c = pool[Below(static_cast<std::uint32_t>(pool.size()))];
      if (s.empty() && c == ' ') continue;
      if (c == '/' && !s.empty() && s.back() == '/') continue;
      s += c;
    }
    return s;
  }

  std::string Text(size_t length) {
    static const std::string pool = "abc XYZ 0123 = ;\n\n\t\r/{}\x1a\xa0";
    std::string s;
    int depth = 0;
    while (s.size() + static_cast<size_t>(depth) < length) {
      char c = pool[Below(static_cast<std::uint32_t>(pool.size()))];
      if (c == '/' && !s.empty() && s.back() == '/') continue;
      if (c == '}' && depth == 0) continue;
      depth += c == '{' ? 1 : c == '}' ? -1 : 0;
      s += c;
    }
    s.append(static_cast<size_t>(depth), '}');
    return s;
  }

  std::mt19937 rng_;
};

// What a database reads back as after being written: every named block has
// gained the space that the layout puts before its closing brace, texts
// never read have become empty texts, and the folder actions are kept only
// when they were written.
std::string ExpectedAfterRoundTrip(const GameDatabase& db, bool folderActions) {
  GameDatabase expect;
  expect.DefaultScoring.Assign(db.DefaultScoring.Text());
  expect.SeasonScoringInfo.Assign(db.SeasonScoringInfo.Text());
  for (CircuitEntry e : db.Circuits()) {
    auto block = std::make_shared<BlockText>();
    block->Assign((e.RaceBlock ? e.RaceBlock->Text() : std::string()) + " ");
    e.RaceBlock = block;
    if (!folderActions) e.FolderCreateActions.clear();
    else if (!e.FolderCreateActions.empty()) e.FolderCreateActions += " ";
    expect.AddCircuit(e);
  }
  return Describe(expect);
}

TEST(GameDatabaseRoundTrip, WrittenDatabasesReadBackAsTheSameModel) {
  TempDir dir;
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    Generator gen(seed);
    const bool folderActions = seed % 7 != 0;
    auto db = gen.Database(folderActions || seed % 2);
    const std::string written = db->WriteString(folderActions);

    GameDatabase again;
    ASSERT_EQ(Shown(again.ReadString(written)), std::vector<std::string>{}) << "seed " << seed;
    ASSERT_EQ(Describe(again), ExpectedAfterRoundTrip(*db, folderActions)) << "seed " << seed;

    // Through a real file now and then: the same bytes and the same model.
    if (seed % 25 == 0) {
      ASSERT_TRUE(WriteGameDatabaseFile(*db, dir / "game.gdb", folderActions));
      ASSERT_EQ(ReadFile(dir / "game.gdb"), written);
      GameDatabase fromFile;
      ASSERT_EQ(ReadGameDatabaseFile(dir / "game.gdb", fromFile), GdbError::None);
      ASSERT_EQ(Describe(fromFile), Describe(again)) << "seed " << seed;
    }
  }
}

TEST(GameDatabaseRoundTrip, ABlockAtTheLimitOutgrowsItWhenWrittenBack) {
  // The space the layout adds before a named block's brace makes a block of
  // the largest size one character too long for the next read.
  GameDatabase db;
  CircuitEntry e;
  e.Name = "Full";
  auto block = std::make_shared<BlockText>();
  ASSERT_TRUE(block->Assign(std::string(BlockText::kMaxLength, 'x')));
  e.RaceBlock = block;
  db.AddCircuit(e);
  GameDatabase again;
  EXPECT_EQ(Shown(again.ReadString(db.WriteString(true))),
            std::vector<std::string>{"Section too long in game.gdb file"});
}

}  // namespace
}  // namespace test
}  // namespace trilo
