#pragma once
#include <string>

namespace trilo {

/// The game's "Install Dir" from "SOFTWARE\EA SPORTS\F1 9902" (HKLM, the
/// 32-bit view), read only, into a buffer of 512 bytes. False when the key or
/// the value is missing or does not fit. On POSIX the Wine prefix's registry
/// ($WINEPREFIX, else ~/.wine) is read and the folder mapped to a POSIX path.
bool QueryGameInstallDir(std::string& folder);

}  // namespace trilo
