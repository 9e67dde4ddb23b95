#pragma once
#include <string>
#include <vector>

#include "platform/status.h"

namespace trilo {

/// Joins the calling thread to the component library (CoInitialize on
/// Windows; nothing elsewhere). The result is of no use to the caller.
void InitComponentLibrary();

/// Writes a shortcut (.lnk) file. A property that cannot be set is left
/// out, and the fixed message that says so ("SetPath failed!", ...) added
/// to `unset`, in the order they are set; the rest is still saved. Fails
/// when the shell object cannot be made or the shortcut not saved.
/// `temporary`, when given, is the name the shortcut is written under in
/// full before it is renamed over `linkPath`; without it Windows saves in
/// place.
Status WriteShellLink(const std::string& target, const std::string& linkPath, const std::string& workingDir,
                      const std::string& arguments, const std::string& iconPath, const std::string& description,
                      std::vector<std::string>& unset, const std::string& temporary = std::string());

}  // namespace trilo
