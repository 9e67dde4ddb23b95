#pragma once
#include <string>
#include <vector>

#include "install/install_flow.h"

namespace trilo {
namespace win32 {

/// The command line of trilo-setup.exe. A player starts it without
/// arguments; the others are for the installer's own restart with
/// administrator rights, which carries every answer already given.
struct SetupOptions {
  bool undo = false;       ///< /undo: take the newest install back
  bool elevated = false;   ///< /elevated: the restart; it never asks for rights again
  bool answered = false;   ///< /game-exe=PATH given: install at once on these answers
  PathFields fields;       ///< /game-exe=PATH /config=PATH /player=PATH
  std::string version;     ///< /version=NAME
  std::string virtualStore;  ///< /virtualstore=PATH: the VirtualStore of the player who restarted it
};

/// The words after the program's, as SplitCommandLine gives them; unknown
/// ones are passed over.
SetupOptions ParseSetupOptions(const std::vector<std::string>& words);

/// The arguments of the restart with administrator rights: "/elevated" and
/// the answers (or "/undo"), each quoted as CommandLineToArgvW splits them.
std::string ElevatedArguments(const SetupOptions& answers);

}  // namespace win32
}  // namespace trilo
