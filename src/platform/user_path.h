#pragma once
#include <string>
#include <vector>

#include "platform/status.h"

// Paths and text as a person types and reads them on a command line. On
// POSIX they are UTF-8 while the core keeps them in the active code page; on
// Windows a typed path is only made full, and the dialogs take paths as they
// are.

namespace trilo {

/// Makes `id` the code page of the core's text instead of the one derived
/// from the locale; false (nothing changed) when the system cannot convert
/// it.
bool UseCodePage(unsigned id);

/// Takes the program's character type from the locale of the environment
/// (LC_ALL, LC_CTYPE, LANG; C.UTF-8 for a UTF-8 one that is not installed)
/// and makes PathForUser and TextForUser give text in its character set
/// rather than UTF-8, each character it lacks as "?": a terminal's line
/// editor takes nothing else.
void FollowLocaleCharset();

/// A typed path ("~/x", relative or absolute) as the full path the core
/// speaks; empty stays empty. False when a name in it cannot be written in
/// the code page (noted among the refusals).
bool PathFromUser(const std::string& typed, std::string& corePath);

/// A path of the core as the system writes it, for showing.
std::string PathForUser(const std::string& corePath);

/// The path with the system's separators, still in the code page: for a
/// message, which is converted for showing as a whole (ShowMessage).
std::string PathForMessage(const std::string& corePath);

/// Typed text in the code page; false when a character is missing there
/// (noted among the refusals).
bool TextFromUser(const std::string& typed, std::string& text);

/// Text of the core as the terminal shows it; bytes that are no text in the
/// code page show as U+FFFD. On Windows, the text as it is.
std::string TextForUser(const std::string& text);

/// A shell command line that starts a Windows program with Wine as a
/// shortcut to it would: in its working folder, with its arguments (the
/// tail of a Windows command line), in the Wine prefix it lies in, if any.
std::string WineCommandLine(const std::string& target, const std::string& arguments,
                            const std::string& workingDir);

/// What was refused since the last call because it could not be converted
/// (a name that cannot be written in the code page, bytes that are no text
/// in it): failures of their own, noted where the conversion happened, deep
/// in an operation whose own failure says only that it failed. Each has
/// the sentence naming what was refused as its reason, and the system
/// codes of a name that is no text (EILSEQ, 1113).
std::vector<Status> TakeRefusals();

}  // namespace trilo
