#pragma once
#include <string>

#include "platform/status.h"

namespace trilo {

/// Starts a command line in `workingDir`, minimised in a console of its own,
/// and waits for it without a time limit. Ok when it was started and has
/// ended (whatever its exit code); a failure when it could not be started.
Status RunCommand(const std::string& commandLine, const std::string& workingDir);

/// The program file a command line would start, found without starting it:
/// its first word, looked up as RunCommand's start looks it up (with ".exe"
/// added to a name without an extension; a bare name in the current folder
/// and then along the system's search path). False when there is none.
bool FindCommandProgram(const std::string& commandLine, std::string& program);

}  // namespace trilo
