#pragma once
#include <string>

#include "text/code_page.h"

namespace trilo {

/// The code page of 8-bit text: GetACP() on Windows. On POSIX the one
/// chosen for the terminal installer, else the one Wine derives from the
/// locale (LC_ALL, LC_CTYPE, LANG); file names, arguments and typed text are
/// converted to and from it at the platform's edges.
CodePage ActiveCodePage();

/// The program file's name without folder and extension: the caption of
/// every message box.
std::string ProgramName();

/// The local date and time as "2024-05-01 14:03:22".
std::string LocalTimeText();

}  // namespace trilo
