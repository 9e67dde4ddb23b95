#include "install/install_settings.h"

#include "install/interface_text.h"

namespace trilo {

const GameDirEntry kGameDirEntries[10] = {
    {"SEASONDIR", &InstallState::OLDSEASONDIR, &InstallSettings::SeasonDir},
    {"SAVEDIR", &InstallState::OLDSAVEDIR, &InstallSettings::SaveDir},
    {"OPTIONSDIR", &InstallState::OLDOPTIONSDIR, &InstallSettings::OptionsDir},
    {"REPLAYDIR", &InstallState::OLDVCRDIR, &InstallSettings::ReplayDir},
    {"LOGDIR", &InstallState::OLDLOGDIR, &InstallSettings::LogDir},
    {"MOVIEDIR", &InstallState::OLDMOVIEDIR, &InstallSettings::MovieDir},
    {"VEHICLESDIR", &InstallState::OLDVEHICLESDIR, &InstallSettings::VehiclesDir},
    {"TRACKSDIR", &InstallState::OLDTRACKSDIR, &InstallSettings::TracksDir},
    {"SOUNDDIR", &InstallState::OLDSOUNDDIR, &InstallSettings::SoundDir},
    {"DRIVERSDIR", &InstallState::OLDDRIVERSDIR, &InstallSettings::DriversDir},
};

const char kInstallSection[] = "VESKAINSTALL";
const char kConfigSection[] = "VESKACONFIG";
const char kShortcutSection[] = "VESKASHORTCUT";
const char kGuiSection[] = "GUI";

#define FLAG(section, name, dflt) {section, #name, ConfKind::Flag, dflt, nullptr, &InstallSettings::name, nullptr}
#define NUMBER(section, name, dflt) {section, #name, ConfKind::Number, dflt, nullptr, &InstallSettings::name, nullptr}
#define TEXT(section, name, dflt) {section, #name, ConfKind::Text, 0, dflt, nullptr, &InstallSettings::name}

const ConfKey kConfKeys[26] = {
    FLAG(kInstallSection, NewConfig, 0),
    FLAG(kInstallSection, NewPlayer, 0),
    FLAG(kInstallSection, NewShortcut, 0),
    FLAG(kInstallSection, GDB, 0),
    FLAG(kInstallSection, Version2002, 1),
    TEXT(kInstallSection, PreInstall, ""),
    TEXT(kInstallSection, PostInstall, ""),
    TEXT(kConfigSection, ConfigName, ""),
    TEXT(kConfigSection, SeasonDir, ""),
    TEXT(kConfigSection, SaveDir, ""),
    TEXT(kConfigSection, ReplayDir, ""),
    TEXT(kConfigSection, OptionsDir, ""),
    TEXT(kConfigSection, SoundDir, ""),
    TEXT(kConfigSection, LogDir, ""),
    TEXT(kConfigSection, MovieDir, ""),
    TEXT(kConfigSection, VehiclesDir, ""),
    TEXT(kConfigSection, TracksDir, ""),
    TEXT(kConfigSection, DriversDir, ""),
    TEXT(kShortcutSection, IconFile, ""),
    TEXT(kShortcutSection, Desc, ""),
    TEXT(kGuiSection, ConfigString, TXT_DEFAULT_CONFIG_PROMPT),
    TEXT(kGuiSection, ConfigPattern, TXT_DEFAULT_CONFIG_PATTERN),
    TEXT(kGuiSection, Title, TXT_DEFAULT_TITLE),
    FLAG(kGuiSection, SplashOn, 0),
    NUMBER(kGuiSection, SplashDelay, 3000),
    TEXT(kGuiSection, SplashImg, ""),
};

#undef FLAG
#undef NUMBER
#undef TEXT

std::string VersionKey(size_t index) { return "Version" + std::to_string(index); }

}  // namespace trilo
