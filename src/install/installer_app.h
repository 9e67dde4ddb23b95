#pragma once
#include <string>
#include <vector>

#include "install/install_record.h"
#include "install/install_settings.h"
#include "install/interaction.h"
#include "platform/file_ops.h"

namespace trilo {

class IniText;

/// The placeholders ExpandPathVariables replaces, "${TOPDIR}" first.
std::vector<std::string> PathVariableTokens();

/// Whether a text still holds "${" once expanded: such a path names no real
/// place, and the copy step does not try it.
bool HasUnexpandedPlaceholder(const std::string& text);

/// Whether a folder holds a package: "conf.ini" or a template ("dirs.txt",
/// "files.txt", "gdb.txt", under a version's name too).
bool HoldsPackage(const std::string& folder);

/// The VirtualStore copy of a game file, when Windows keeps one that the
/// game sees instead of it (virtual_store.h); empty when there is none.
std::string VirtualStoreCopy(const std::string& path);

/// The application object: the two records, the configuration start-up and
/// the install steps. Each step is defined in the file named after it.
class InstallerApp {
 public:
  explicit InstallerApp(Interaction& ui) : UI(ui) {}

  Interaction& UI;
  /// The folder that was current at start-up, followed by "\".
  std::string WorkingDir;
  InstallSettings Settings;
  InstallState State;
  /// Set during an install by a step that went on past a fault it had
  /// reported (files that could not be copied, a shortcut that could not be
  /// saved): the install completes, but not everything is in place.
  bool PartlyInstalled = false;
  /// Set when the install stopped because a stop was asked for (Ctrl-C):
  /// between two changes, never in the middle of one.
  bool CutShort = false;
  /// Whether the last install changed the game (its record was begun).
  bool ChangedGame = false;
  /// The record of the install under way, told of every change the steps
  /// make; outside RunRecordedInstall one that records nothing.
  InstallRecord* Record = &InstallRecord::Unrecorded();
  /// The VirtualStore copies read in this run, each once, in order.
  /// (Kept by the reads themselves, which change nothing else.)
  mutable std::vector<std::string> VirtualStoreReads;

  /// The file the game really uses for `path`: its VirtualStore copy when
  /// there is one (noted in VirtualStoreReads), else `path` itself.
  std::string GameFile(const std::string& path) const;

  // Configuration (config_reader.cpp).
  /// Records WorkingDir and reads "conf.ini".
  void StartUp();
  bool ReadConfiguration();
  /// The same from conf.ini's text, by the portable reader, which answers
  /// as Windows does on every system: the checker reads it so.
  bool ReadConfiguration(const IniText& conf);
  /// Fills InstallState from the three path fields when the options pass the
  /// Install handler's checks; clears a field that names nothing existing.
  bool DeriveInstallState(std::string& gameExeField, std::string& gameConfigField,
                          const std::string& templatePlayerField);

  // Placeholders (path_variables.cpp).
  void ExpandPathVariables(std::string& text) const;

  // The install sequence (install_sequence.cpp).
  bool RunInstallSequence(InstallProgress& progress);
  /// Whether a stop was asked for; notes the install as cut short if so.
  bool StopAsked();
  /// The install sequence with its record in the game folder
  /// (install_record.cpp).
  bool RunRecordedInstall(InstallProgress& progress);

  /// One folder entry of the game's configuration file, read as
  /// ReadOldGameConfig reads it, and nothing stored (game_config.cpp).
  std::string ReadOldGameDir(const char* key) const;

  // The steps.
  bool ReadOldGameConfig();                         // game_config.cpp
  bool WriteNewGameConfig();                        // game_config.cpp
  bool CreateTemplateDirectories();                 // directory_template.cpp
  bool CreatePlayerProfile();                       // player_profile.cpp
  bool CopyTemplateFiles(InstallProgress& progress);  // copy_template.cpp
  bool MergeGameDatabase();                         // merge_step.cpp
  bool CreateShortcut();                            // shortcut.cpp
  /// The arguments the shortcut starts the game with: the new configuration.
  std::string GameArguments() const { return " config=" + Settings.ConfigName; }

 private:
  /// Makes WorkingDir the current folder again; the result is not needed.
  void EnterWorkingDir() const;
  /// Shows why the record could not be written; the step then stops.
  bool ShowRecordFailure(const Status& failure);
  /// CopyFileReplacing, told to the record first and settled after; a
  /// record failure means nothing was copied.
  Status RecordedCopy(const std::string& source, const std::string& destination);
};

}  // namespace trilo
