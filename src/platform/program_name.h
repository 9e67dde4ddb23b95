#pragma once
#include <string>

namespace trilo {

/// The program file's name without folder and extension: the caption of
/// every message box.
std::string ProgramName();

}  // namespace trilo
