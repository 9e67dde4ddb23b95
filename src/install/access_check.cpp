#include "install/access_check.h"

#include <algorithm>

#include "install/install_record.h"
#include "install/interface_text.h"
#include "platform/profile.h"
#include "platform/system_info.h"
#include "platform/user_path.h"
#include "platform/write_access.h"
#include "text/code_page.h"
#include "text/text_util.h"

namespace trilo {

namespace {

constexpr unsigned long kAccessDenied = 5;  // ERROR_ACCESS_DENIED
constexpr unsigned long kCancelled = 1223;  // ERROR_CANCELLED

std::string FolderOf(const std::string& path) {
  const size_t slash = FindLastChar(path, '\\', ActiveCodePage());
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void AddOnce(std::vector<std::string>& folders, const std::string& folder) {
  if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
    folders.push_back(folder);
}

}  // namespace

std::vector<std::string> InstallFolders(const InstallerApp& app, const std::string& gameExe,
                                        const std::string& gameConfig) {
  std::vector<std::string> folders;
  if (gameExe.empty()) return folders;
  // The game folder as the steps join it (TOPDIR), and as the record finds it.
  const std::string topdir = FolderOf(gameExe);
  AddOnce(folders, GameFolderOf(gameExe, app.WorkingDir));
  if (app.Settings.GDB && !gameConfig.empty()) {
    // The merge step reads the same entry; the whole value, as it joins it.
    const std::string copy = VirtualStoreCopy(gameConfig);
    const std::string season = ReadProfileString("COMPONENTS", "SEASONDIR", "", copy.empty() ? gameConfig : copy, 1024);
    AddOnce(folders, FolderOf(topdir + season + "game.gdb"));
  }
  return folders;
}

std::vector<std::string> UndoFolders(const UndoPlan& plan) {
  std::vector<std::string> folders;
  AddOnce(folders, plan.gameFolder);
  for (const UndoAction& action : plan.actions) AddOnce(folders, FolderOf(action.path));
  return folders;
}

Status ProbeFolders(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    const Status probed = ProbeWriteAccess(folder);
    if (!probed && !probed.Missing()) return probed;
  }
  return Status();
}

bool RightsWouldHelp(const Status& refusal) { return !refusal.Ok() && refusal.WindowsCode() == kAccessDenied; }

std::string FolderRefusedMessage(const Status& refusal) {
  return refusal.Explain(FormatText(TXT_FOLDER_REFUSED, PathForUser(refusal.Path()).c_str()));
}

AccessVerdict CheckFolders(InstallerApp& app, const std::vector<std::string>& folders, const std::string& gameFolder,
                           const RestartElevated& restart, Notice failed, Notice cancelled) {
  const Status refusal = ProbeFolders(folders);
  if (refusal) return AccessVerdict::Writable;
  if (restart && RightsWouldHelp(refusal)) {
    if (!app.UI.AskYesNo(FormatText(TXT_ELEVATE_QUESTION, PathForUser(gameFolder).c_str()), FolderRefusedMessage(refusal))) {
      app.UI.ShowNotice(cancelled);
      return AccessVerdict::Cancelled;
    }
    const Status restarted = restart();
    if (restarted) return AccessVerdict::Restarted;
    if (restarted.WindowsCode() == kCancelled) {
      app.UI.ShowNotice(cancelled);
      return AccessVerdict::Cancelled;
    }
    app.UI.ShowMessage(restarted.Explain(TXT_RESTART_FAILED));
  } else {
    app.UI.ShowMessage(FolderRefusedMessage(refusal));
  }
  app.UI.ShowNotice(failed);
  return AccessVerdict::Refused;
}

}  // namespace trilo
