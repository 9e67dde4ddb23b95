#include "install/install_settings.h"

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

}  // namespace trilo
