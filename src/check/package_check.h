#pragma once
#include <string>

#include "check/findings.h"

namespace trilo {

/// What to check: a package folder, and the game to check it against.
struct CheckRequest {
  std::string packageDir;  ///< full path
  bool hasVersion = false;
  std::string version;     ///< only this version, with hasVersion; else every one
  std::string gameExe;     ///< empty: looked up as the installer looks it up
  std::string gameConfig;  ///< empty: the game folder and conf.ini's ConfigPattern
  std::string player;      ///< the template player file; empty when none is given
  bool findGame = true;    ///< look the game up in the registry when it is not given
  bool dryRun = false;     ///< add the plan of each version checked
};

/// Judges a package as the installer would read it, without writing
/// anything or running any command. Leaves the current folder as it found it.
CheckReport CheckPackage(const CheckRequest& request);

}  // namespace trilo
