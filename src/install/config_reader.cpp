#include "install/installer_app.h"
#include "install/interface_text.h"
#include "platform/filesystem.h"
#include "platform/profile.h"
#include "platform/system_info.h"
#include "text/code_page.h"

namespace trilo {

namespace {

const char kInstall[] = "VESKAINSTALL";
const char kConfig[] = "VESKACONFIG";
const char kShortcut[] = "VESKASHORTCUT";
const char kGui[] = "GUI";

}  // namespace

void InstallerApp::EnterWorkingDir() const { SetCurrentFolder(WorkingDir); }

void InstallerApp::StartUp() {
  // A drive root already ends in "\"; it gets a second one all the same, as
  // every later join expects exactly this shape.
  WorkingDir = GetCurrentFolder() + "\\";
  ReadConfiguration();
}

bool InstallerApp::ReadConfiguration() {
  const std::string file = WorkingDir + "conf.ini";
  EnterWorkingDir();
  InstallSettings& s = Settings;

  s.NewConfig = ReadProfileInt(kInstall, "NewConfig", 0, file);
  s.NewPlayer = ReadProfileInt(kInstall, "NewPlayer", 0, file);
  s.NewShortcut = ReadProfileInt(kInstall, "NewShortcut", 0, file);
  s.GDB = ReadProfileInt(kInstall, "GDB", 0, file);
  s.Version2002 = ReadProfileInt(kInstall, "Version2002", 1, file);
  s.PreInstall = ReadProfileString(kInstall, "PreInstall", "", file);
  s.PostInstall = ReadProfileString(kInstall, "PostInstall", "", file);

  // The keys must run without a gap from Version0; the list never holds more
  // than it has room for, so a 257th key is not even read.
  s.VersionList.clear();
  while (s.VersionList.size() < kMaxVersions) {
    std::string key = "Version" + std::to_string(s.VersionList.size());
    std::string version = ReadProfileString(kInstall, key, "", file);
    if (version.empty()) break;
    s.VersionList.push_back(version);
  }

  if (s.NewConfig) {
    s.ConfigName = ReadProfileString(kConfig, "ConfigName", "", file);
    if (s.ConfigName.empty()) {
      UI.ShowMessage("Couldn't get new config file name from conf.ini");
      return false;
    }
    s.SeasonDir = ReadProfileString(kConfig, "SeasonDir", "", file);
    s.SaveDir = ReadProfileString(kConfig, "SaveDir", "", file);
    s.ReplayDir = ReadProfileString(kConfig, "ReplayDir", "", file);
    s.OptionsDir = ReadProfileString(kConfig, "OptionsDir", "", file);
    s.SoundDir = ReadProfileString(kConfig, "SoundDir", "", file);
    s.LogDir = ReadProfileString(kConfig, "LogDir", "", file);
    s.MovieDir = ReadProfileString(kConfig, "MovieDir", "", file);
    s.VehiclesDir = ReadProfileString(kConfig, "VehiclesDir", "", file);
    s.TracksDir = ReadProfileString(kConfig, "TracksDir", "", file);
    s.DriversDir = ReadProfileString(kConfig, "DriversDir", "", file);
  }

  if (s.NewShortcut) {
    s.IconFile = ReadProfileString(kShortcut, "IconFile", "", file);
    s.Desc = ReadProfileString(kShortcut, "Desc", "", file);
  }

  s.ConfigString = ReadProfileString(kGui, "ConfigString", TXT_DEFAULT_CONFIG_PROMPT, file);
  s.ConfigPattern = ReadProfileString(kGui, "ConfigPattern", TXT_DEFAULT_CONFIG_PATTERN, file);
  s.Title = ReadProfileString(kGui, "Title", TXT_DEFAULT_TITLE, file);
  s.SplashOn = ReadProfileInt(kGui, "SplashOn", 0, file);
  s.SplashDelay = ReadProfileInt(kGui, "SplashDelay", 3000, file);
  s.SplashImg = ReadProfileString(kGui, "SplashImg", "", file);
  return true;
}

bool InstallerApp::DeriveInstallState(std::string& gameExeField, std::string& gameConfigField,
                                      const std::string& templatePlayerField) {
  if (!PathExists(gameExeField)) gameExeField.clear();
  if (!PathExists(gameConfigField)) gameConfigField.clear();
  if (gameExeField.empty() || gameConfigField.empty()) return false;
  if (!Settings.VersionList.empty() && State.SelectedVersion.empty()) return false;

  State.TemplatePlayerPath = templatePlayerField;
  State.GameExePath = gameExeField;
  State.OldConfigPath = gameConfigField;

  const CodePage cp = ActiveCodePage();
  size_t slash = FindLastChar(State.GameExePath, '\\', cp);
  State.TOPDIR = slash == std::string::npos ? std::string() : State.GameExePath.substr(0, slash + 1);

  size_t playerSlash = FindLastChar(State.TemplatePlayerPath, '\\', cp);
  std::string fileName = playerSlash == std::string::npos ? State.TemplatePlayerPath
                                                          : State.TemplatePlayerPath.substr(playerSlash + 1);
  State.PLAYERNAME = fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
  return true;
}

}  // namespace trilo
