#pragma once
#include <functional>
#include <string>

namespace trilo {

/// Joins the calling thread to the component library (CoInitialize on
/// Windows; nothing elsewhere). The result is of no use to the caller.
void InitComponentLibrary();

/// Writes a shortcut (.lnk) file. `report` is called with the fixed message
/// of each property that cannot be set ("SetPath failed!", ...) and of a
/// failed save ("Save failed!"). Returns a Windows result code: the failure
/// of the object creation or interface query, otherwise the result of Save
/// (0 on success). `temporary`, when given, is the name the shortcut is
/// written under in full before it is renamed over `linkPath`; without it
/// Windows saves in place.
long WriteShellLink(const std::string& target, const std::string& linkPath, const std::string& workingDir,
                    const std::string& arguments, const std::string& iconPath, const std::string& description,
                    const std::function<void(const std::string&)>& report,
                    const std::string& temporary = std::string());

}  // namespace trilo
