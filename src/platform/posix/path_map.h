#pragma once
#include <sys/stat.h>

#include <string>

// Paths between the core and the system. The core speaks Windows paths in
// the active code page ("\" or "/" separators, an absolute POSIX path written
// "\a\b"); the system takes UTF-8 with "/".

namespace trilo {

/// A core path as a POSIX path. A component that does not exist under its
/// exact name is matched without regard to case in its folder, as packages
/// written on Windows spell names in any case; once a component is missing
/// even so, the rest is kept as written (it may be about to be created). A
/// path too long for the system is returned as it is, so that using it fails
/// at once. False, with `native` empty, when the path holds bytes that are no
/// text in the code page: it names nothing, and is noted as refused.
bool ToNativePath(const std::string& path, std::string& native);
/// The same; "" for a path that is refused, which every system call fails on.
std::string ToNativePath(const std::string& path);

/// ToNativePath for a call on the file that the last lookup was of, made
/// right after it (a copy onto the destination its caller just looked at):
/// it takes that lookup's answer, once, so that the call acts on the very
/// file its caller saw. A lookup of another path, a change this program made
/// or a program it ran in between makes it look again.
bool ToNativePathAgain(const std::string& path, std::string& native);
/// Makes the next ToNativePathAgain look again.
void ForgetLastLookup();

/// The core path converted and with "/", looked up nowhere: what an exact
/// name is, in one step. False as above.
bool ExactNativePath(const std::string& path, std::string& native);

/// The caseless lookup of ToNativePath on a POSIX path (UTF-8, "/").
/// `missing`, when given, is set when a component was found to be missing
/// even caselessly: the path names nothing, and needs no further look.
std::string ResolveNativePath(const std::string& slashed, bool* missing = nullptr);

/// ResolveNativePath and the status of what it finds, in one look: a name
/// that is there as written costs its status alone, a name the folder cache
/// knows to be missing the look at its folder alone. `resolved` is the path
/// to use; false when nothing is there.
bool LookUpFile(const std::string& slashed, std::string& resolved, struct stat& st);

/// Tells the folder cache that this program made `nativePath` (a file or a
/// folder), so that the cache stays valid without reading the folder again.
void NoteCreated(const std::string& nativePath);

/// Tells the folder cache that this program removed `nativePath`, or renamed
/// it away.
void NoteRemoved(const std::string& nativePath);

/// The current folder as a POSIX path; empty when it cannot be told.
std::string NativeCurrentFolder();

/// A POSIX path as the core speaks it: "/" becomes "\" and the names come
/// into the code page. False, with `core` empty, when a name cannot be
/// written there; it is noted as refused.
bool FromNativePath(const std::string& path, std::string& core);
/// The same; "" for a path that is refused.
std::string FromNativePath(const std::string& path);

}  // namespace trilo
