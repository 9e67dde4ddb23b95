#pragma once
#include <string>
#include <vector>

namespace trilo {

/// Most versions a package can list.
constexpr size_t kMaxVersions = 256;

/// The values of "conf.ini", under their key names.
struct InstallSettings {
  int NewConfig = 0;
  int NewPlayer = 0;
  int NewShortcut = 0;
  int GDB = 0;
  int Version2002 = 0;
  std::string PreInstall;
  std::string PostInstall;
  std::vector<std::string> VersionList;  ///< at most kMaxVersions entries

  std::string ConfigName;
  std::string SeasonDir, SaveDir, ReplayDir, OptionsDir, SoundDir, LogDir, MovieDir,
      VehiclesDir, TracksDir, DriversDir;

  std::string IconFile;
  std::string Desc = "Please Rename Me";

  std::string ConfigString;
  std::string ConfigPattern;
  std::string Title;
  int SplashOn = 0;
  int SplashDelay = 3000;
  std::string SplashImg;
};

/// The paths and names fixed when the user presses Install.
struct InstallState {
  std::string GameExePath;
  std::string OldConfigPath;
  std::string TemplatePlayerPath;
  std::string SelectedVersion;
  std::string TOPDIR;
  std::string PLAYERNAME;
  std::string OLDSEASONDIR, OLDSAVEDIR, OLDOPTIONSDIR, OLDVCRDIR, OLDLOGDIR, OLDMOVIEDIR,
      OLDVEHICLESDIR, OLDTRACKSDIR, OLDSOUNDDIR, OLDDRIVERSDIR;
};

/// One of the ten folder entries of the game's configuration file, tying its
/// key to the OLD value it is read into and the NEW value it is written from.
struct GameDirEntry {
  const char* key;                      ///< key in [COMPONENTS], upper case
  std::string InstallState::*oldValue;  ///< e.g. OLDVCRDIR for REPLAYDIR
  std::string InstallSettings::*newValue;
};

/// The ten entries in the order they are read.
extern const GameDirEntry kGameDirEntries[10];

/// The sections of "conf.ini".
extern const char kInstallSection[];   ///< "VESKAINSTALL"
extern const char kConfigSection[];    ///< "VESKACONFIG"
extern const char kShortcutSection[];  ///< "VESKASHORTCUT"
extern const char kGuiSection[];       ///< "GUI"

/// How a key of "conf.ini" is read: a flag is on when it is not 0.
enum class ConfKind { Flag, Number, Text };

/// One key of "conf.ini": where it stands, how it is read, what it falls
/// back to and the setting it fills.
struct ConfKey {
  const char* section;
  const char* name;
  ConfKind kind;
  int numberDefault;         ///< Flag and Number
  const char* textDefault;   ///< Text
  int InstallSettings::*number;
  std::string InstallSettings::*text;
};

/// Every key but the versions, section by section in the order
/// ReadConfiguration reads them; `ConfigName` comes first in its section.
extern const ConfKey kConfKeys[26];

/// The key of the version at `index`: "Version0", "Version1", ...
std::string VersionKey(size_t index);

}  // namespace trilo
