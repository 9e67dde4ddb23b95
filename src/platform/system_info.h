#pragma once
#include <string>

#include "text/code_page.h"

namespace trilo {

/// The code page of 8-bit text: GetACP() on Windows; on POSIX one without
/// lead bytes, as file names there are UTF-8 or plain bytes.
CodePage ActiveCodePage();

/// The program file's name without folder and extension: the caption of
/// every message box.
std::string ProgramName();

/// The local date and time as "2024-05-01 14:03:22".
std::string LocalTimeText();

}  // namespace trilo
