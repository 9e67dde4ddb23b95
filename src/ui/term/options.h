#pragma once
#include <string>

namespace trilo {

/// The command line of trilo-setup.
struct TermOptions {
  std::string directory;  ///< -C DIR: the package folder
  bool unattended = false;
  bool help = false;
  bool version = false;
  bool listInstalls = false;  ///< --list-installs
  bool undo = false;          ///< --undo [NAME|last]
  std::string undoName = "last";
  bool force = false;         ///< --force: undo changed files too
  bool hasGameExe = false, hasConfig = false, hasPlayer = false, hasVersion = false;
  std::string gameExe, config, player, packageVersion;
  unsigned codePage = 0;  ///< --code-page N; 0: derived from the locale
};

/// Parses argv; false with `error` set on bad usage.
bool ParseTermOptions(int argc, char** argv, TermOptions& options, std::string& error);

extern const char kTermUsage[];

}  // namespace trilo
