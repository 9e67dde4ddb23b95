#pragma once
#include <string>

namespace trilo {

/// A string value of a key in the text of a Wine registry file (system.reg).
/// `key` is relative to the file's root, with single "\" separators; key and
/// value names are compared without regard to ASCII case.
bool FindWineRegistryValue(const std::string& regText, const std::string& key, const std::string& valueName,
                           std::string& value);

/// A Windows path ("C:\Games\F1") as a POSIX path inside the Wine prefix,
/// through the prefix's dosdevices/ links; empty when the drive is unknown.
std::string MapWineDosPath(const std::string& prefix, const std::string& windowsPath);

/// The Wine prefix in use: $WINEPREFIX, else ~/.wine.
std::string WinePrefix();

}  // namespace trilo
