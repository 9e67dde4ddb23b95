#pragma once
#include <string>

namespace trilo {

/// The command line of trilo-check.
struct CheckOptions {
  bool help = false;
  bool version = false;
  bool dryRun = false;
  bool hasVersion = false;
  std::string packageVersion, gameExe, config, player;
  std::string packageDir;  ///< as typed; empty for the current folder
  unsigned codePage = 0;   ///< --code-page N (POSIX only); 0: derived from the locale
};

/// Parses argv; false with `error` set on bad usage.
bool ParseCheckOptions(int argc, char** argv, CheckOptions& options, std::string& error);

extern const char kCheckUsage[];

}  // namespace trilo
