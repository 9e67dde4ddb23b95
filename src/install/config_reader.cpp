#include <algorithm>
#include <cstring>
#include <functional>

#include "formats/ini_reader.h"
#include "install/installer_app.h"
#include "platform/filesystem.h"
#include "platform/profile.h"
#include "platform/system_info.h"
#include "platform/virtual_store.h"
#include "text/code_page.h"
#include "text/text_util.h"

namespace trilo {

std::string VirtualStoreCopy(const std::string& path) {
  const std::string copy = VirtualStorePath(path);
  return !copy.empty() && GetFileStatus(copy).exists ? copy : std::string();
}

std::string InstallerApp::GameFile(const std::string& path) const {
  const std::string copy = VirtualStoreCopy(path);
  if (copy.empty()) return path;
  if (std::find(VirtualStoreReads.begin(), VirtualStoreReads.end(), copy) == VirtualStoreReads.end())
    VirtualStoreReads.push_back(copy);
  return copy;
}

bool HoldsPackage(const std::string& folder) {
  std::vector<FolderEntry> entries;
  if (!ReadFolder(folder, entries)) return false;
  for (const FolderEntry& entry : entries) {
    if (entry.isFolder) continue;
    const std::string name = FoldCase(entry.name);
    if (name == "conf.ini") return true;
    for (const char* plain : {"dirs.txt", "files.txt", "gdb.txt"}) {
      const size_t at = name.size() - std::min(name.size(), std::strlen(plain));
      if (name.compare(at, std::string::npos, plain) == 0 && (at == 0 || name[at - 1] == '.')) return true;
    }
  }
  return false;
}

void InstallerApp::EnterWorkingDir() const { SetCurrentFolder(WorkingDir); }

void InstallerApp::StartUp() {
  // A drive root already ends in "\"; it gets a second one all the same, as
  // every later join expects exactly this shape.
  WorkingDir = GetCurrentFolder() + "\\";
  ReadConfiguration();
}

namespace {

// The two readers of conf.ini's values: the system's profile functions, as
// the installer uses them, or the portable reader, as the checker does.
struct ConfLookup {
  std::function<std::string(const char* section, const std::string& key, const std::string& defaultValue)> text;
  std::function<int(const char* section, const std::string& key, int defaultValue)> number;
};

bool ReadSettings(const ConfLookup& lookup, InstallSettings& s, Interaction& ui) {
  auto read = [&](const ConfKey& key) {
    if (key.kind == ConfKind::Text) s.*key.text = lookup.text(key.section, key.name, key.textDefault);
    else s.*key.number = lookup.number(key.section, key.name, key.numberDefault);
  };
  auto readSection = [&](const char* section) {
    for (const ConfKey& key : kConfKeys)
      if (std::strcmp(key.section, section) == 0) read(key);
  };

  readSection(kInstallSection);

  // The keys must run without a gap from Version0; the list never holds more
  // than it has room for, so a 257th key is not even read.
  s.VersionList.clear();
  while (s.VersionList.size() < kMaxVersions) {
    std::string version = lookup.text(kInstallSection, VersionKey(s.VersionList.size()), "");
    if (version.empty()) break;
    s.VersionList.push_back(version);
  }

  if (s.NewConfig) {
    for (const ConfKey& key : kConfKeys) {
      if (std::strcmp(key.section, kConfigSection) != 0) continue;
      read(key);
      // The new file's name is read first: without it nothing more is read.
      if (key.text == &InstallSettings::ConfigName && s.ConfigName.empty()) {
        ui.ShowMessage("Couldn't get new config file name from conf.ini");
        return false;
      }
    }
  }
  if (s.NewShortcut) readSection(kShortcutSection);
  readSection(kGuiSection);
  return true;
}

}  // namespace

bool InstallerApp::ReadConfiguration() {
  const std::string file = WorkingDir + "conf.ini";
  EnterWorkingDir();
  const ConfLookup lookup{
      [&](const char* section, const std::string& key, const std::string& defaultValue) {
        return ReadProfileString(section, key, defaultValue, file);
      },
      [&](const char* section, const std::string& key, int defaultValue) {
        return ReadProfileInt(section, key, defaultValue, file);
      }};
  return ReadSettings(lookup, Settings, UI);
}

bool InstallerApp::ReadConfiguration(const IniText& conf) {
  EnterWorkingDir();
  const ConfLookup lookup{
      [&](const char* section, const std::string& key, const std::string& defaultValue) {
        return conf.GetString(section, key, defaultValue, 1024);
      },
      [&](const char* section, const std::string& key, int defaultValue) {
        return conf.GetInt(section, key, defaultValue);
      }};
  return ReadSettings(lookup, Settings, UI);
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
