#include "install/install_flow.h"

#include <algorithm>
#include <cstdio>

#include "install/install_record.h"
#include "install/interface_text.h"
#include "platform/filesystem.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/user_path.h"
#include "platform/virtual_store.h"
#include "text/code_page.h"
#include "text/text_util.h"

namespace trilo {

const char kGameBusy[] = "Another install or undo is running on this game.";

namespace {

// The game's lock, or false when another process holds it. A lock the
// system cannot give for another reason (a file system without locks)
// does not stand in the way.
bool LockGame(GameLock& lock, const std::string& gameFolder) {
  const Status taken = lock.Take(gameFolder);
  return taken || !taken.Locked();
}

}  // namespace

void LocateGameFiles(InstallerApp& app, PathFields& fields) {
  const InstallSettings& s = app.Settings;
  std::string defaultConfig;
  std::string folder;
  if (QueryGameInstallDir(folder)) {
    // Joined unchanged: a folder that ends in "\" gets a second one.
    fields.gameExe = folder;
    if (!s.ConfigPattern.empty()) defaultConfig = folder + "\\" + s.ConfigPattern;
    fields.gameExe += "\\" TXT_GAME_EXE_NAME;
  }

  LocateRequest exe{fields.gameExe, TXT_LOCATE_GAME_EXE, TXT_EXE_FILTER, TXT_GAME_EXE_NAME, LocateKind::GameExe, {}};
  if (app.UI.LocateFile(exe)) fields.gameExe = exe.path;

  if (s.VersionList.size() > 1) {
    std::string chosen;
    if (app.UI.ChooseVersion(s.VersionList, chosen)) app.State.SelectedVersion = chosen;
  } else if (s.VersionList.size() == 1) {
    app.State.SelectedVersion = s.VersionList.front();
  }

  LocateRequest config{defaultConfig, s.ConfigString, TXT_INI_FILTER, s.ConfigPattern, LocateKind::GameConfig, {}};
  if (app.UI.LocateFile(config)) fields.gameConfig = config.path;

  if (s.NewPlayer) {
    LocateRequest player{"", TXT_LOCATE_PLAYER, TXT_PLR_FILTER, "", LocateKind::TemplatePlayer,
                         FindPlayerFiles(fields.gameExe, fields.gameConfig)};
    if (app.UI.LocateFile(player)) fields.templatePlayer = player.path;
  }
}

std::vector<std::string> FindPlayerFiles(const std::string& gameExe, const std::string& gameConfig) {
  std::vector<std::string> found;
  const CodePage cp = ActiveCodePage();
  const size_t slash = FindLastChar(gameExe, '\\', cp);
  const std::string configCopy = VirtualStoreCopy(gameConfig);
  std::string saveDir = ReadProfileString("COMPONENTS", "SAVEDIR", "", configCopy.empty() ? gameConfig : configCopy);
  if (slash == std::string::npos || saveDir.empty()) return found;
  if (FindLastChar(saveDir, '\\', cp) + 1 != saveDir.size()) saveDir += '\\';
  const std::string saves = gameExe.substr(0, slash + 1) + saveDir;
  // The players the game made itself may live only in its VirtualStore;
  // they are named where the game sees them, and read from there.
  const std::string storedSaves = VirtualStorePath(saves);
  for (const std::string& folder : {saves, storedSaves}) {
    std::vector<FolderEntry> players, files;
    if (folder.empty() || !ReadFolder(folder, players)) continue;
    for (const FolderEntry& player : players) {
      if (!player.isFolder || !ReadFolder(folder + player.name, files)) continue;
      for (const FolderEntry& file : files)
        if (!file.isFolder && file.name.size() > 4 && EqualsIgnoreCase(file.name.substr(file.name.size() - 4), ".PLR"))
          found.push_back(saves + player.name + "\\" + file.name);
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

InstallResult HandleInstall(InstallerApp& app, PathFields& fields, InstallProgress& progress,
                            const std::function<void()>& beginInstall, const RestartElevated& restart,
                            const std::function<bool()>& goAhead) {
  if (!app.DeriveInstallState(fields.gameExe, fields.gameConfig, fields.templatePlayer)) {
    app.UI.ShowNotice(Notice::OptionsError);
    LocateGameFiles(app, fields);
    return InstallResult::OptionsError;
  }
  switch (CheckFolders(app, InstallFolders(app, fields.gameExe, fields.gameConfig),
                       GameFolderOf(fields.gameExe, app.WorkingDir), restart, Notice::Failed, Notice::Cancelled)) {
    case AccessVerdict::Writable: break;
    case AccessVerdict::Refused: return InstallResult::Failed;
    case AccessVerdict::Cancelled: return InstallResult::Cancelled;
    case AccessVerdict::Restarted: return InstallResult::Restarted;
  }
  GameLock lock;
  if (!LockGame(lock, GameFolderOf(app.State.GameExePath, app.WorkingDir))) {
    app.UI.ShowMessage(kGameBusy);
    app.UI.ShowNotice(Notice::Failed);
    return InstallResult::Failed;
  }
  if (goAhead && !goAhead()) {
    HandleCancel(app);
    return InstallResult::Cancelled;
  }
  if (beginInstall) beginInstall();
  // A failed step has shown its own message; the closing notice must not
  // then claim the install completed.
  bool ok = app.RunRecordedInstall(progress);
  if (app.CutShort) {
    // Stopped before its first change, it is a cancel: there is nothing to take back.
    if (app.ChangedGame) return InstallResult::CutShort;
    app.UI.ShowNotice(Notice::Cancelled);
    return InstallResult::Cancelled;
  }
  app.UI.ShowNotice(ok ? Notice::Complete : Notice::Failed);
  if (!ok) return InstallResult::Failed;
  return app.PartlyInstalled ? InstallResult::InstalledPartly : InstallResult::Installed;
}

void HandleCancel(InstallerApp& app) { app.UI.ShowNotice(Notice::Cancelled); }

UndoResult PrepareUndo(InstallerApp& app, const std::string& name, bool force, UndoJob& job,
                       const RestartElevated& restart) {
  auto failed = [&app](const std::string& message) {
    app.UI.ShowMessage(message);
    app.UI.ShowNotice(Notice::UndoFailed);
    return UndoResult::Failed;
  };
  std::string folder;
  LocateRequest exe{"", TXT_LOCATE_GAME_EXE, TXT_EXE_FILTER, TXT_GAME_EXE_NAME, LocateKind::GameExe, {}};
  if (QueryGameInstallDir(folder)) exe.path = folder + "\\" TXT_GAME_EXE_NAME;
  if (!app.UI.LocateFile(exe)) {
    app.UI.ShowNotice(Notice::UndoCancelled);
    return UndoResult::Cancelled;
  }
  if (!PathExists(exe.path)) return failed("There is no game at " + PathForMessage(exe.path));
  job.gameFolder = GameFolderOf(exe.path, app.WorkingDir);
  // The records are read and the plan made under the lock: nothing changes
  // them until the undo is over.
  if (!LockGame(job.lock, job.gameFolder)) return failed(kGameBusy);

  job.records = ListInstalledRecords(job.gameFolder);
  if (job.records.empty()) {
    // An install stopped before its record said anything may leave this.
    RemoveFolder(job.gameFolder + kRecordsFolder);
    return failed("No install is recorded in " + PathForMessage(job.gameFolder));
  }
  const InstalledRecord* record = FindInstalledRecord(job.records, name);
  if (!record) return failed("No install called " + name + " is recorded in " + PathForMessage(job.gameFolder));
  std::string path;
  if (const InstalledRecord* later = LaterRecordTouching(job.records, *record, path))
    return failed("Cannot undo " + record->name + ": the later install " + later->name + " also changed " + path +
                  ". Undo " + later->name + " first.");

  job.plan = PlanUndo(job.gameFolder, *record, force);
  switch (CheckFolders(app, UndoFolders(job.plan), job.gameFolder, restart, Notice::UndoFailed,
                       Notice::UndoCancelled)) {
    case AccessVerdict::Writable: break;
    case AccessVerdict::Refused: return UndoResult::Failed;
    case AccessVerdict::Cancelled: return UndoResult::Cancelled;
    case AccessVerdict::Restarted: return UndoResult::Restarted;
  }
  const RecordHeader& h = record->manifest.header;
  // Asked as the plan is shown: in the person's characters, not the code page's.
  const std::string question = FormatText(TXT_UNDO_QUESTION, TextForUser(h.title).c_str(), h.date.c_str());
  if (!app.UI.AskYesNo(question, UndoSummary(job.plan))) {
    app.UI.ShowNotice(Notice::UndoCancelled);
    return UndoResult::Cancelled;
  }
  return UndoResult::Undone;
}

UndoResult RunUndoJob(InstallerApp& app, const UndoJob& job, InstallProgress& progress) {
  const UndoOutcome outcome = RunUndo(job.plan, progress);
  const std::string left = UndoLeftText(outcome, job.plan);
  if (!left.empty()) app.UI.ShowMessage(left);
  if (!outcome.ok) {
    app.UI.ShowMessage(outcome.failure + "\nThe record stays: the undo can run again.");
    app.UI.ShowNotice(Notice::UndoFailed);
    return UndoResult::Failed;
  }
  if (outcome.incomplete) {
    app.UI.ShowNotice(Notice::UndoIncomplete);
    return UndoResult::Incomplete;
  }
  app.UI.ShowNotice(Notice::UndoComplete);
  return UndoResult::Undone;
}

}  // namespace trilo
