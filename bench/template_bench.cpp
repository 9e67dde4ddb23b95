// Placeholder expansion of hostile template lines: up to a megabyte of "$"
// with one "}" at the end, which must cost in proportion to the line (each
// "$" once, not the rest of the line once per "$"), and a line of up to a
// thousand real placeholders, where the search starts over after each one
// and the limit on replacements keeps the whole bounded.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "install/installer_app.h"
#include "install/interaction.h"

namespace {

void BM_ExpandDollarsThenOneBrace(benchmark::State& state) {
  trilo::SilentInteraction ui;
  trilo::InstallerApp app(ui);
  const std::string line = std::string(static_cast<size_t>(state.range(0)), '$') + "}";
  for (auto _ : state) {
    std::string text = line;
    app.ExpandPathVariables(text);
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ExpandDollarsThenOneBrace)->Range(1 << 10, 1 << 20)->Unit(benchmark::kMicrosecond);

void BM_ExpandManyPlaceholders(benchmark::State& state) {
  trilo::SilentInteraction ui;
  trilo::InstallerApp app(ui);
  app.State.TOPDIR = "C:\\Games\\F1\\";
  std::string line;
  for (int i = 0; i < state.range(0); ++i) line += "${TOPDIR}";
  for (auto _ : state) {
    std::string text = line;
    app.ExpandPathVariables(text);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_ExpandManyPlaceholders)->Range(8, 1000)->Unit(benchmark::kMicrosecond);

}  // namespace
