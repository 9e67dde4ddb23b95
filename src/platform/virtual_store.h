#pragma once
#include <string>

// The VirtualStore of Windows: an old program that writes under Program
// Files without administrator rights has its files redirected to
// "%LOCALAPPDATA%\VirtualStore\<path without the drive>", and from then on
// sees those copies instead of the real files. The installer, manifested,
// sees only the real ones; here it finds the copies the game uses.

namespace trilo {

/// Where the VirtualStore copy of `path` (full) would be, when `path` lies
/// in a virtualised folder (Program Files, Program Files (x86), the Windows
/// folder, ProgramData); empty elsewhere, and always on POSIX.
std::string VirtualStorePath(const std::string& path);

/// The VirtualStore folder in use: this user's, or the one given to
/// UseVirtualStore; empty on POSIX.
std::string VirtualStoreFolder();

/// Uses `folder` as the VirtualStore: an installer restarted with
/// administrator rights works with the one of the player who started it.
void UseVirtualStore(const std::string& folder);

}  // namespace trilo
