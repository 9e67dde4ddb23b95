// Reading, merging and writing a full "game.gdb" (1000 circuits with blocks
// of the size the game's own circuits have), next to a plain copy of the
// same file, which is the least any rewrite of it can cost, and the same
// copy flushed to disk as the step flushes what it writes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/game_database.h"
#include "install/game_database_file.h"
#include "install/installer_app.h"
#include "install/interaction.h"
#include "platform/file_ops.h"
#include "platform/filesystem.h"
#include "platform/system_info.h"
#include "text/text_util.h"

namespace {

using trilo::GameDatabase;

std::string CircuitBlock(int i) {
  std::string b = "\r\n";
  const char* keys[] = {"TrackFile", "TrackName", "EventName", "GrandPrixName", "Laps", "Weather",
                        "SettingsFolder", "AIRange", "RaceTime", "QualifyLaps", "PitEntry", "PitExit",
                        "FuelUse", "TyreWear", "Downforce", "GearRatios", "BrakeBias", "Ballast",
                        "StartTime", "Location", "Length", "Turns", "Record", "RecordHolder"};
  int k = 0;
  for (const char* key : keys)
    b += "    " + std::string(key) + " = \"Value_" + std::to_string(i) + "_" + std::to_string(k++) +
         " some text\"   // note\r\n";
  b += "    Sectors\r\n    {\r\n      S1 = 0.31\r\n      S2 = 0.64\r\n    }\r\n  ";
  return b;
}

std::string Database(int first, int count, bool scoring) {
  std::string s = "// generated season\r\n";
  if (scoring) {
    s += "DefaultScoring\r\n{\r\n";
    for (int p = 1; p <= 20; ++p) s += "  Position" + std::to_string(p) + " = " + std::to_string(30 - p) + "\r\n";
    s += "}\r\n\r\n";
  }
  s += "SeasonRaces\r\n{\r\n";
  for (int i = first; i < first + count; ++i) s += "  Circuit" + std::to_string(i) + "\r\n  {" + CircuitBlock(i) + "}\r\n";
  s += "}\r\n\r\n";
  const char* sections[] = {"F1_Circuit_Race_Times", "F1_Circuit_Qualify_Times", "F1_Circuit_AI_Race_Setup_Wetness00",
                            "F1_Circuit_AI_Qual_Setup_Wetness00"};
  for (const char* section : sections) {
    s += std::string(section) + "\r\n{\r\n";
    for (int i = first; i < first + count; ++i)
      s += "  Circuit" + std::to_string(i) + " = 1:2" + std::to_string(i % 10) + ".345 12 34 56 78\r\n";
    s += "}\r\n\r\n";
  }
  s += "Circuit_Settings_Folder_Create_Actions\r\n{\r\n";
  for (int i = first; i < first + count; ++i)
    s += "  Circuit" + std::to_string(i) + "\r\n  {\r\n    Create = Tracks\\Circuit" + std::to_string(i) +
         "\r\n    Create = Saves\\Circuit" + std::to_string(i) + "\r\n  }\r\n";
  s += "}\r\n\r\n";
  if (scoring) s += "SeasonScoringInfo\r\n{\r\n  Season = 2002\r\n  Races = 17\r\n}\r\n";
  return s;
}

// A folder with "Seasons\game.gdb" (990 circuits) and a package "gdb.txt"
// that brings 20 circuits, 10 of them new: the merge fills the table.
struct Setup {
  Setup() {
    std::filesystem::path base = std::filesystem::temp_directory_path() / "trilo-gamedb-bench";
    std::filesystem::create_directories(base / "Game" / "Seasons");
    std::filesystem::create_directories(base / "Package");
    root = Core(base.string()) + "\\";
    installedText = Database(0, 990, true);
    sourceText = Database(980, 20, false);
    database = root + "Game\\Seasons\\game.gdb";
    Write(database, installedText);
    Write(root + "Package\\gdb.txt", sourceText);
    folder = base;
  }
  ~Setup() {
    std::error_code ec;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
    std::filesystem::remove_all(folder, ec);
  }
  static std::string Core(std::string path) { return trilo::ToBackslashes(std::move(path), trilo::ActiveCodePage()); }
  static void Write(const std::string& path, const std::string& bytes) {
    std::FILE* f = nullptr;
    if (!trilo::OpenFile(path, "wb", f)) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::filesystem::path folder;
  std::string root, database, installedText, sourceText;
};

Setup& Files() {
  static Setup setup;
  return setup;
}

void BM_ReadFile(benchmark::State& state) {
  Setup& s = Files();
  for (auto _ : state) {
    GameDatabase db;
    if (trilo::ReadGameDatabaseFile(s.database, db) != trilo::GdbError::None || db.CircuitCount() != 990) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(db.CircuitCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(s.installedText.size()));
  state.counters["file_kB"] = static_cast<double>(s.installedText.size()) / 1024;
}
BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond);

// The same without the file: what the reader itself costs.
void BM_ReadString(benchmark::State& state) {
  Setup& s = Files();
  for (auto _ : state) {
    GameDatabase db;
    if (db.ReadString(s.installedText) != trilo::GdbError::None || db.CircuitCount() != 990) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(db.CircuitCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(s.installedText.size()));
}
BENCHMARK(BM_ReadString)->Unit(benchmark::kMillisecond);

void BM_Merge(benchmark::State& state) {
  Setup& s = Files();
  GameDatabase source;
  source.ReadString(s.sourceText);
  for (auto _ : state) {
    state.PauseTiming();
    GameDatabase installed;
    installed.ReadString(s.installedText);
    state.ResumeTiming();
    // 20 lookups over 990 names, 10 entries taken.
    if (installed.Merge(source) != trilo::GdbError::None || installed.CircuitCount() != 1000)
      state.SkipWithError("merge failed");
  }
}
BENCHMARK(BM_Merge)->Unit(benchmark::kMicrosecond);

void BM_WriteFile(benchmark::State& state) {
  Setup& s = Files();
  GameDatabase db;
  db.ReadString(s.installedText);
  const std::string target = s.root + "Game\\Seasons\\written.gdb";
  size_t bytes = db.WriteString(true).size();
  for (auto _ : state)
    if (!trilo::WriteGameDatabaseFile(db, target, true)) state.SkipWithError("write failed");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_WriteFile)->Unit(benchmark::kMillisecond);

// The whole install step: backup, both reads, merge, write.
void BM_MergeStep(benchmark::State& state) {
  Setup& s = Files();
  trilo::SilentInteraction ui;
  trilo::InstallerApp app(ui);
  app.WorkingDir = s.root + "Package\\";
  app.State.TOPDIR = s.root + "Game\\";
  app.State.OLDSEASONDIR = "Seasons\\";
  app.Settings.Version2002 = 1;
  for (auto _ : state) {
    state.PauseTiming();
    Setup::Write(s.database, s.installedText);
    state.ResumeTiming();
    if (!app.MergeGameDatabase()) state.SkipWithError("step failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(s.installedText.size()));
}
BENCHMARK(BM_MergeStep)->Unit(benchmark::kMillisecond);

void BM_CopyFile(benchmark::State& state) {
  Setup& s = Files();
  for (auto _ : state)
    if (!trilo::CopyFileReplacing(s.database, s.database + ".copy").Ok()) state.SkipWithError("copy failed");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(s.installedText.size()));
}
BENCHMARK(BM_CopyFile)->Unit(benchmark::kMillisecond);

// The copy made to last a power cut, as the step makes its new file: the
// data and then the folder flushed to disk.
void BM_DurableCopyFile(benchmark::State& state) {
  Setup& s = Files();
  const std::filesystem::path folder = s.folder / "Game" / "Seasons";
  const std::string copy = (folder / "game.gdb.copy").string();
  for (auto _ : state) {
    if (!trilo::CopyFileReplacing(s.database, s.database + ".copy").Ok()) state.SkipWithError("copy failed");
    for (const std::string& path : {copy, folder.string()}) {
      const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0 || fsync(fd) != 0) state.SkipWithError("flush failed");
      if (fd >= 0) close(fd);
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(s.installedText.size()));
}
BENCHMARK(BM_DurableCopyFile)->Unit(benchmark::kMillisecond);

}  // namespace
