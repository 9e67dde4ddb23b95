#pragma once
#include <vector>

// Names in the code pages most of the game's players have, each as a package
// written on Windows spells it (8-bit, in that code page) and as the file
// system holds it once Windows, or Wine, has turned it into Unicode (UTF-8).
// The POSIX installer and the Windows one under Wine must both make exactly
// these names.
namespace trilo {
namespace test {

struct CodePageNames {
  unsigned codePage;
  const char* folder;  ///< a folder of the directory template
  const char* folderUtf8;
  const char* file;  ///< a file of the package, copied into that folder
  const char* fileUtf8;
  const char* desc;  ///< the shortcut's description and name
  const char* descUtf8;
};

inline const std::vector<CodePageNames>& CodePageNameTable() {
  static const std::vector<CodePageNames> table = {
      {1252, "Saison Fran\xE7" "aise", "Saison Fran\xC3\xA7" "aise", "\xC9t\xE9.txt", "\xC3\x89t\xC3\xA9.txt",
       "Caf\xE9 M\xFCller", "Caf\xC3\xA9 M\xC3\xBCller"},
      {1251, "\xD1\xE5\xE7\xEE\xED", "\xD0\xA1\xD0\xB5\xD0\xB7\xD0\xBE\xD0\xBD", "\xC4\xEE\xEC.txt",
       "\xD0\x94\xD0\xBE\xD0\xBC.txt", "\xCC\xEE\xE9 \xEC\xEE\xE4",
       "\xD0\x9C\xD0\xBE\xD0\xB9 \xD0\xBC\xD0\xBE\xD0\xB4"},
      // Both names hold a character whose trail byte is 0x5C, the backslash.
      {932, "\x83\x5C\x83\x74\x83\x67", "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88", "\x95\x5C.txt",
       "\xE8\xA1\xA8.txt", "\x93\xFA\x96\x7B\x82\xCC\x89\xFC\x91\xA2",
       "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xAE\xE6\x94\xB9\xE9\x80\xA0"},
  };
  return table;
}

}  // namespace test
}  // namespace trilo
