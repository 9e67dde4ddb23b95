// The directory and file copy templates of one version, followed line by
// line the way the two install steps would take them.
#include <algorithm>

#include "check_context.h"
#include "install/template_file.h"
#include "platform/filesystem.h"
#include "platform/system_info.h"
#include "text/code_page.h"
#include "text/text_util.h"

namespace trilo {

namespace {

const char kStopsCreating[] = "the install would stop here with \"Error creating directory\"";
const char kCopyFails[] = "the copy would fail and be logged in log.txt";
// The longest path the ANSI file functions take (MAX_PATH less its end).
constexpr size_t kMaxWindowsPath = 259;
// Room left for the folder players unpack a package into.
constexpr size_t kMaxSourcePath = 200;

bool StartsWithIgnoreCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::string Quoted(const std::string& s) { return "`" + s + "`"; }

}  // namespace

bool PackageChecker::CheckPlaceholders(const std::string& file, int line, const std::string& text,
                                       bool beforeGameConfig) {
  bool clean = true;
  static const std::vector<std::string> tokens = PathVariableTokens();
  const CodePage cp = ActiveCodePage();
  size_t from = 0;
  for (size_t dollar; (dollar = FindChar(text, '$', cp, from)) != std::string::npos;) {
    from = dollar + 1;
    if (from >= text.size() || text[from] != '{') continue;
    const size_t close = FindChar(text, '}', cp, dollar);
    if (close == std::string::npos) {
      Error(file, line, Quoted(text.substr(dollar)) + " has no closing `}`: it stays as written");
      return false;
    }
    from = close + 1;
    const std::string token = text.substr(dollar, close - dollar + 1);
    std::string known;
    for (const std::string& t : tokens)
      if (EqualsIgnoreCase(token, t)) known = t;
    if (known.empty()) {
      std::vector<std::string> names;
      for (const std::string& t : tokens) names.push_back(t.substr(2, t.size() - 3));
      const std::string near = NearestName(token.substr(2, token.size() - 3), names);
      Error(file, line, "unknown placeholder " + Quoted(token) + " stays as written" +
                            (near.empty() ? std::string() : ": did you mean `${" + near + "}`?"));
      clean = false;
      continue;
    }
    if (!conf_.Settings.NewPlayer && known == "${PLAYERNAME}")
      Warning(file, line, "`${PLAYERNAME}` is empty: NewPlayer is off, so no player file is asked for");
    if (!conf_.Settings.NewPlayer && known == "${PLAYERDIR}")
      Warning(file, line, "`${PLAYERDIR}` is only \"\\\": NewPlayer is off, so no player file is asked for");
    if (beforeGameConfig && StartsWithIgnoreCase(known, "${OLD"))
      Warning(file, line, Quoted(known) + " is empty when PreInstall runs: the game's configuration is read after it");
  }
  return clean;
}

void PackageChecker::Expand(InstallerApp& app, bool ready, bool clean, const std::string& file, int line,
                            std::string& text) {
  if (!ready) return;
  app.ExpandPathVariables(text);
  if (clean && HasUnexpandedPlaceholder(text))
    Error(file, line, Quoted(text) + " still holds `${` once expanded: a conf.ini value brings in a placeholder");
}

void PackageChecker::MissingTemplate(const VersionRun& run, const std::string& file, const char* message) {
  std::string text = "missing: the install";
  if (!run.version.empty()) text += " of version `" + run.version + "`";
  text += std::string(" would stop with \"") + message + "\"";
  const std::vector<std::string>& versions = conf_.Settings.VersionList;
  if (!versions.empty()) text += " (conf.ini lists the versions " + NameList(versions) + ")";
  Error(file, 0, text);
}

void PackageChecker::CheckDirectories(VersionRun& run) {
  const std::string& file = run.dirsName;
  std::vector<TemplateLine> lines;
  if (!ReadTemplateLines(run.version, "dirs.txt", lines)) {
    MissingTemplate(run, file, "Error opening directory template");
    return;
  }
  run.dirsRead = true;
  if (run.garbled.count(file)) return;
  std::vector<std::string> paths;
  for (const TemplateLine& line : lines) {
    const bool clean = CheckPlaceholders(file, line.number, line.text, false);
    std::string path = line.text;
    Expand(run.app, run.ready, clean, file, line.number, path);
    paths.push_back(path);
  }
  for (size_t i = 0; i < paths.size(); ++i) {
    const std::string& path = paths[i];
    const int number = lines[i].number;
    const bool outside = run.ready ? !HasUnexpandedPlaceholder(path) && !IsInsideGame(path, run)
                                   : !StartsWithIgnoreCase(lines[i].text, "${TOPDIR}");
    if (outside) Warning(file, number, "the folder " + Quoted(Show(path)) + " lies outside the game folder");
    if (HasUnexpandedPlaceholder(path)) continue;  // said above, or it needs the game
    const FileStatus status = GetFileStatus(path);
    if (status.exists && !status.folder) {
      Warning(file, number, "a file " + Quoted(Show(path)) + " is in the way: no folder is made");
      continue;
    }
    const bool exists = status.exists || run.folders.count(Key(path)) > 0;
    if (!exists) {
      const std::string parent = Parent(path);
      if (!FolderExists(parent, run)) {
        int later = 0;
        for (size_t j = i + 1; j < paths.size() && !later; ++j)
          if (!HasUnexpandedPlaceholder(paths[j]) && Key(paths[j]) == Key(parent)) later = lines[j].number;
        if (later)
          Error(file, number, Quoted(Show(path)) + " comes before its parent folder (line " + std::to_string(later) +
                                  "): " + kStopsCreating);
        else
          Error(file, number, "the parent folder of " + Quoted(Show(path)) + " does not exist: " + kStopsCreating);
      }
      run.folders.insert(Key(path));
    }
    run.plan.push_back(std::string("  folder  ") + (exists ? "existing   " : "new        ") + Show(path));
  }
}

void PackageChecker::CheckPlayer(VersionRun& run) {
  if (!conf_.Settings.NewPlayer || !run.ready || !run.dirsRead) return;
  const InstallSettings& s = run.app.Settings;
  const InstallState& st = run.app.State;
  const std::string target = st.TOPDIR + s.SaveDir + st.PLAYERNAME + "\\" + st.PLAYERNAME + ".PLR";
  if (!FolderExists(Parent(target), run))
    Error(run.dirsName, 0, "no line makes the new player's folder " + Quoted(Show(Parent(target))) +
                               ": the install would stop with \"Error creating new PLR file\"");
  run.plan.push_back("  player file        " + Show(target) +
                     (player_.empty() ? std::string() : "  from  " + Show(st.TemplatePlayerPath)));
}

void PackageChecker::CheckCopies(VersionRun& run) {
  const std::string& file = run.filesName;
  std::vector<TemplateLine> lines;
  if (!ReadTemplateLines(run.version, "files.txt", lines)) {
    MissingTemplate(run, file, "Error opening file template");
    return;
  }
  if (run.garbled.count(file)) return;
  unsigned long long total = 0;
  int count = 0;
  for (const TemplateLine& line : lines) {
    unsigned long long size = 0;
    if (!CheckCopyLine(run, line, size)) continue;
    total += size;
    ++count;
  }
  const std::vector<std::string>& replaced = run.replaced;
  if (!replaced.empty()) {
    const std::vector<std::string> first(replaced.begin(), replaced.begin() + std::min<size_t>(5, replaced.size()));
    Warning(file, 0, std::to_string(replaced.size()) + " copies replace files the game already has (" +
                         NameList(first) + (replaced.size() > 5 ? " and more; --dry-run lists them all" : "") +
                         "): players lose what was there, which another package may need");
  }
  run.plan.push_back("  copies: " + std::to_string(count) + " files, " + std::to_string(total) + " bytes");
}

bool PackageChecker::CheckCopyLine(VersionRun& run, const TemplateLine& line, unsigned long long& size) {
  const std::string& file = run.filesName;
  const int number = line.number;
  const bool clean = CheckPlaceholders(file, number, line.text, false);
  std::string destination, source;
  if (!SplitCopyEntry(line.text, destination, source)) {
    Error(file, number, "a copy line without \"=\": the install would stop here with \"Malformed file copy string\"");
    return false;
  }
  if (destination.empty()) Error(file, number, std::string("no destination before \"=\": ") + kCopyFails);
  if (source.empty()) Error(file, number, std::string("no source after \"=\": ") + kCopyFails);
  // The installer expands the source first, then the destination.
  Expand(run.app, run.ready, clean, file, number, source);
  Expand(run.app, run.ready, clean, file, number, destination);
  CheckCopySource(run, number, source, size);
  if (destination.empty()) return false;

  // Without the game these two go by the text as written.
  auto first = run.copies.emplace(Key(destination), number);
  if (!first.second)
    Warning(file, number, Quoted(Show(destination)) + " is copied to again (first at line " +
                              std::to_string(first.first->second) + "): the later copy replaces the earlier");
  const bool outside = run.ready ? !HasUnexpandedPlaceholder(destination) && !IsInsideGame(destination, run)
                                 : !StartsWithIgnoreCase(destination, "${TOPDIR}");
  if (outside) Warning(file, number, "the destination " + Quoted(Show(destination)) + " lies outside the game folder");

  if (HasUnexpandedPlaceholder(destination)) return true;
  const FileStatus status = GetFileStatus(destination);
  if (status.folder)
    Error(file, number, "the destination " + Quoted(Show(destination)) + " is a folder: " + kCopyFails);
  else if (!source.empty() && !HasUnexpandedPlaceholder(source) && Key(source) == Key(destination))
    Error(file, number, "the source and the destination are the same file " + Quoted(Show(destination)) + ": " +
                            kCopyFails);
  else if (!FolderExists(Parent(destination), run))
    Error(file, number, "no folder " + Quoted(Show(Parent(destination))) +
                            " for this copy: dirs.txt does not make it and the game does not have it, so " + kCopyFails);
  else if (status.exists && run.ready)
    CheckReplacedFile(run, number, destination);
  if (run.ready && destination.size() > kMaxWindowsPath)
    Error(file, number, "the destination is " + std::to_string(destination.size()) + " characters long in this game "
                        "folder: Windows' file functions stop at " + std::to_string(kMaxWindowsPath) + ", so " +
                        kCopyFails);
  const bool replacing = status.exists || !first.second;
  run.plan.push_back(std::string("  copy    ") + (replacing ? "replacing  " : "new        ") + Show(destination) +
                     "  <-  " + Show(source) + "  (" + std::to_string(size) + " bytes)");
  return true;
}

void PackageChecker::CheckCopySource(const VersionRun& run, int number, const std::string& source,
                                     unsigned long long& size) {
  const std::string& file = run.filesName;
  if (source.empty() || HasUnexpandedPlaceholder(source)) return;
  const FileStatus status = GetFileStatus(source);
  if (status.folder)
    Error(file, number, "the source " + Quoted(Show(source)) + " is a folder: " + kCopyFails);
  else if (!status.exists && !run.copies.count(Key(source)))
    Error(file, number, "the source " + Quoted(Show(source)) + " does not exist: " + kCopyFails);
  size = status.size;
  // Players unpack the package into a folder of their own, which comes before it.
  const std::string package = Key(conf_.WorkingDir) + "\\";
  const std::string key = Key(source);
  if (key.compare(0, package.size(), package) == 0 && key.size() - package.size() > kMaxSourcePath)
    Warning(file, number, "the source is " + std::to_string(key.size() - package.size()) +
                              " characters long within the package: the folder players unpack it into comes before "
                              "it, and Windows' file functions stop at " + std::to_string(kMaxWindowsPath) +
                              "; keep it under " + std::to_string(kMaxSourcePath));
}

void PackageChecker::CheckReplacedFile(VersionRun& run, int number, const std::string& destination) {
  const InstallState& st = run.app.State;
  const std::string key = Key(destination);
  const char* what = nullptr;
  if (key == Key(st.GameExePath))
    what = "the game's program: players could no longer start the game";
  else if (key == Key(st.OldConfigPath))
    what = "the game configuration the install reads: players lose their settings, and a new configuration made "
           "from the copy";
  else if (key == Key(st.TOPDIR + st.OLDSEASONDIR + "game.gdb"))
    what = "the game's database, which the merge rewrites: the game's circuits are lost, and a copy that is not a "
           "whole game.gdb ends the merge with \"Unexpected end of game.gdb file\"; put the package's circuits in "
           "gdb.txt";
  if (what)
    Error(run.filesName, number, "the copy replaces " + Quoted(Show(destination)) + ", " + what);
  else
    run.replaced.push_back(Show(destination));
}

}  // namespace trilo
