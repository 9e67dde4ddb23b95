#pragma once
#include <string>

#include "text/code_page.h"

namespace trilo {

/// White space as the C library's isspace sees it in the "C" locale:
/// space, TAB, LF, VT, FF, CR.
bool IsWhite(char c);

std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
std::string Trim(const std::string& s);

/// Compares ignoring the case of the ASCII letters A to Z only.
bool EqualsIgnoreCase(const std::string& a, const std::string& b);
/// The text with A to Z made lower case and every other byte kept: the one
/// caseless fold, for map keys of names that compare as EqualsIgnoreCase.
std::string FoldCase(const std::string& s);

/// The template name "%s.%s" (version, plain name) or the plain name when the
/// version is empty. False when the name would not fit the 256-byte buffer
/// the game's tools use (255 characters).
bool FormTemplateName(const std::string& version, const std::string& plain, std::string& name);

/// The path with every backslash turned into "/", or the other way round:
/// the core speaks Windows paths, POSIX and the tests' folders the other.
/// Only a byte that is a character of its own is a separator: the trail
/// byte of a double-byte character (0x5C in Shift JIS) stays as it is.
std::string ToSlashes(std::string path, const CodePage& cp);
std::string ToBackslashes(std::string path, const CodePage& cp);

/// The path with its "." steps dropped and each ".." taking away the step
/// before it, by name, as Windows resolves them; "\" and "/" both separate
/// and "\" is written. A trailing separator stays.
std::string ResolveDotSteps(const std::string& path);

/// A program's name without its folder and extension ("setup" for a path
/// ending in "setup.exe"): the caption of every message box.
std::string FileStem(const std::string& path);

/// A text made as printf makes it, of any length.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace trilo
