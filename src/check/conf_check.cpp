// conf.ini as the installer reads it: names it never asks for, values it
// takes otherwise than they look, and settings that make a step fail.
#include <cstdio>
#include <cstring>
#include <map>

#include "check_context.h"
#include "platform/filesystem.h"
#include "platform/profile.h"
#include "text/text_util.h"

namespace trilo {

namespace {

const char kConf[] = "conf.ini";
const char* const kSections[] = {kInstallSection, kConfigSection, kShortcutSection, kGuiSection};

const ConfKey* FindKey(const char* section, const std::string& name) {
  for (const ConfKey& key : kConfKeys)
    if ((!section || std::strcmp(key.section, section) == 0) && EqualsIgnoreCase(name, key.name)) return &key;
  return nullptr;
}

// The number of a version key as the installer asks for it ("Version3"
// gives 3, in any case); -1 for any other name, "Version03" and the flag
// Version2002 included.
long VersionIndex(const std::string& name) {
  if (FindKey(nullptr, name)) return -1;
  const size_t prefix = std::strlen("Version");
  if (name.size() <= prefix || name.size() > prefix + 9) return -1;
  long index = 0;
  for (size_t i = prefix; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    index = index * 10 + (name[i] - '0');
  }
  return EqualsIgnoreCase(name, VersionKey(static_cast<size_t>(index))) ? index : -1;
}

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

void PackageChecker::ReadConf() {
  // The start-up's folder, joined as the installer joins it.
  conf_.WorkingDir = GetCurrentFolder() + "\\";
  hasConf_ = ReadWholeFile(conf_.WorkingDir + kConf, confBytes_).Ok();
  confIni_ = IniText(ReadProfileText(conf_.WorkingDir + kConf));
  conf_.ReadConfiguration(confIni_);
  confStopped_ = !confUi_.messages.empty();
}

void PackageChecker::CheckConfIni() {
  if (!hasConf_) {
    Warning(kConf, 0,
            "missing: every key takes its default, so the install writes no new configuration, player, "
            "shortcut or circuits, and every ${NEW...} folder is the game's own");
    return;
  }
  CheckFileText(kConf, confBytes_, TextKind::Conf);
  if (confBytes_.compare(0, 2, "\xFE\xFF") == 0) return;  // no line of it is read as written
  const IniText& ini = confIni_;
  CheckConfLines(ini.Lines());
  CheckConfValues(ini);
  CheckSplash(ini);
  CheckVersionNames(ini);
}

void PackageChecker::CheckConfLines(const std::vector<IniLine>& lines) {
  ConfWalk walk;
  for (const IniLine& line : lines) {
    if (line.kind == IniLine::Kind::Section) CheckConfSection(line, walk);
    else CheckConfKey(line, walk);
  }
}

void PackageChecker::CheckConfSection(const IniLine& line, ConfWalk& walk) {
  const InstallSettings& s = conf_.Settings;
  walk.beforeAny = false;
  walk.section = nullptr;
  walk.firstKey.clear();
  const char* known = nullptr;
  for (const char* name : kSections)
    if (EqualsIgnoreCase(line.name, name)) known = name;
  if (!known) {
    std::string text = "unknown section [" + line.name + "], which the installer never reads";
    const std::string near = NearestName(line.name, {std::begin(kSections), std::end(kSections)});
    if (!near.empty()) text += ": did you mean [" + near + "]?";
    Warning(kConf, line.number, text);
    return;
  }
  auto first = walk.firstSection.emplace(FoldCase(known), line.number);
  if (!first.second) {
    Warning(kConf, line.number, "[" + line.name + "] again (first at line " + std::to_string(first.first->second) +
                                    "): the installer reads only the first");
    return;
  }
  walk.section = known;
  if (known == kConfigSection && !s.NewConfig)
    Warning(kConf, line.number, "[VESKACONFIG] is not read: NewConfig is off");
  if (known == kShortcutSection && !s.NewShortcut)
    Warning(kConf, line.number, "[VESKASHORTCUT] is not read: NewShortcut is off");
}

void PackageChecker::CheckConfKey(const IniLine& line, ConfWalk& walk) {
  // To a person these are comments; the installer never asks for such a
  // name. A first line behind a byte order mark is said with the mark.
  if (!line.name.empty() && (line.name[0] == ';' || line.name[0] == '#')) return;
  if (line.number == 1 && line.name.compare(0, 3, kUtf8Mark) == 0) return;
  if (walk.beforeAny) {
    Warning(kConf, line.number, "`" + line.name + "` stands before any section: the installer never reads it");
    return;
  }
  const char* section = walk.section;
  if (!section) return;  // said at the section's header
  if (line.name.empty()) {
    Warning(kConf, line.number, "a value without a key name: the installer never reads it");
    return;
  }
  if (!line.hasValue) {
    Warning(kConf, line.number, "`" + line.name + "` has no \"=\": the installer reads no value from it");
    return;
  }
  const long version = VersionIndex(line.name);
  if ((version >= 0 && section == kInstallSection) || FindKey(section, line.name)) {
    auto first = walk.firstKey.emplace(FoldCase(line.name), line.number);
    if (!first.second)
      Warning(kConf, line.number, "`" + line.name + "` is set again (first at line " +
                                      std::to_string(first.first->second) + "): the installer reads only the first");
    else if (version >= 0)
      versionLines_.push_back({version, line.number});
    return;
  }
  const ConfKey* elsewhere = FindKey(nullptr, line.name);
  if (elsewhere || version >= 0) {
    Warning(kConf, line.number, "`" + line.name + "` belongs in [" + (elsewhere ? elsewhere->section : kInstallSection) +
                                    "]: in [" + section + "] the installer never reads it");
    return;
  }
  std::vector<std::string> names;
  for (const ConfKey& key : kConfKeys)
    if (key.section == section) names.push_back(key.name);
  if (section == kInstallSection) names.push_back(VersionKey(0));
  std::string text = "unknown key `" + line.name + "` in [" + section + "], which the installer never reads";
  const std::string near = NearestName(line.name, names);
  if (!near.empty()) text += ": did you mean `" + near + "`?";
  Warning(kConf, line.number, text);
}

void PackageChecker::CheckConfValues(const IniText& ini) {
  const InstallSettings& s = conf_.Settings;
  for (const ConfKey& key : kConfKeys) {
    if (key.kind == ConfKind::Text || (confStopped_ && key.section == kGuiSection)) continue;
    const int line = ini.LineOf(key.section, key.name);
    if (line == 0) continue;
    const std::string value = ini.GetString(key.section, key.name, "", 1024);
    const int read = s.*key.number;
    const std::string shown = "`" + std::string(key.name) + "=" + value + "`";
    if (key.kind == ConfKind::Flag && value != "0" && value != "1") {
      const std::string text = shown + " is not 0 or 1: the installer reads it as " + std::to_string(read);
      if (read == 0) Error(kConf, line, text + ", off");
      else Warning(kConf, line, text + ", on");
    } else if (key.kind == ConfKind::Number && !AllDigits(value)) {
      Warning(kConf, line, shown + " is not a number of milliseconds: the installer reads it as " + std::to_string(read));
    }
  }

  // The list of versions ends at the first number missing or empty.
  const size_t count = s.VersionList.size();
  const std::string end = VersionKey(count);
  const std::string gap = ini.LineOf(kInstallSection, end) ? "empty" : "missing";
  for (const auto& [index, line] : versionLines_) {
    if (index >= static_cast<long>(kMaxVersions))
      Error(kConf, line, "`" + VersionKey(index) + "` is never read: a package offers at most " +
                             std::to_string(kMaxVersions) + " versions");
    else if (index > static_cast<long>(count))
      Error(kConf, line, "`" + VersionKey(index) + "` is never offered: the versions end at the " + gap + " `" + end + "`");
  }

  const int newConfig = ini.LineOf(kInstallSection, "NewConfig");
  if (s.NewConfig && confStopped_)
    Error(kConf, newConfig,
          "NewConfig is on but [VESKACONFIG] has no `ConfigName`: the installer shows \"Couldn't get new config file "
          "name from conf.ini\" and reads nothing more of conf.ini");
  if (s.NewShortcut && !confStopped_) {
    const int newShortcut = ini.LineOf(kInstallSection, "NewShortcut");
    if (s.Desc.empty())
      Error(kConf, newShortcut, "NewShortcut is on but `Desc` is empty or missing: the shortcut would be named \".lnk\"");
    if (s.IconFile.empty())
      Warning(kConf, newShortcut,
              "NewShortcut is on but `IconFile` is empty or missing: the shortcut's icon would be the game folder itself");
  }
}

void PackageChecker::CheckSplash(const IniText& ini) {
  const InstallSettings& s = conf_.Settings;
  if (confStopped_ || !s.SplashOn) return;
  if (s.SplashImg.empty()) {
    Warning(kConf, ini.LineOf(kGuiSection, "SplashOn"), "SplashOn is on but `SplashImg` is empty: no splash is shown");
    return;
  }
  const int line = ini.LineOf(kGuiSection, "SplashImg");
  const FileStatus status = GetFileStatus(s.SplashImg);
  if (!status.exists || status.folder) {
    Error(kConf, line, "the splash image `" + s.SplashImg + "` is not in the package");
    return;
  }
  char magic[2] = {0, 0};
  std::FILE* f = nullptr;
  if (OpenFile(s.SplashImg, "rb", f)) {
    if (std::fread(magic, 1, 2, f) != 2) magic[0] = 0;
    std::fclose(f);
  }
  if (magic[0] != 'B' || magic[1] != 'M')
    Error(kConf, line, "the splash image `" + s.SplashImg + "` is not a bitmap (.bmp): the splash window shows only bitmaps");
}

void PackageChecker::CheckVersionNames(const IniText& ini) {
  const std::vector<std::string>& versions = conf_.Settings.VersionList;
  for (size_t i = 0; i < versions.size(); ++i) {
    std::string name;
    // "files.txt" is the longest of the three template names.
    if (FormTemplateName(versions[i], "files.txt", name)) continue;
    Error(kConf, ini.LineOf(kInstallSection, VersionKey(i)),
          "the version name has " + std::to_string(versions[i].size()) +
              " characters: with \".files.txt\" it passes the 255 a template name may have, so this version "
              "cannot be installed");
  }
}

}  // namespace trilo
