#pragma once
#include <string>

namespace trilo {

/// Starts a command line in `workingDir`, minimised in a console of its own,
/// and waits for it without a time limit. True when it was started and has
/// ended (whatever its exit code); false when it could not be started.
bool RunCommand(const std::string& commandLine, const std::string& workingDir);

}  // namespace trilo
