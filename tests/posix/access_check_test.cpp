// Write access known before the first change: the probe on a folder this
// process cannot write, the decision it leads to, and the terminal's words.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "install/access_check.h"
#include "install/install_flow.h"
#include "install/interface_text.h"
#include "platform/posix/path_map.h"
#include "platform/user_path.h"
#include "platform/write_access.h"
#include "posix/program_runner.h"
#include "record_tree.h"
#include "step_fixture.h"

namespace trilo {
namespace {

namespace fs = std::filesystem;

// A folder this process cannot write: immutable for root (where the file
// system has the attribute), read-only for anyone else. Given back at the end.
class LockedFolder {
 public:
  explicit LockedFolder(const std::string& core) : native_(ToNativePath(core)) {
    if (geteuid() != 0) locked_ = chmod(native_.c_str(), 0555) == 0;
    else locked_ = std::system(("chattr +i '" + native_ + "' 2>/dev/null").c_str()) == 0;
    if (!locked_) std::cout << "note: " << native_ << " cannot be made immutable here (chattr); test skipped\n";
  }
  ~LockedFolder() {
    if (!locked_) return;
    if (geteuid() != 0) chmod(native_.c_str(), 0755);
    else std::system(("chattr -i '" + native_ + "'").c_str());
  }
  bool Locked() const { return locked_; }

 private:
  std::string native_;
  bool locked_ = false;
};

class AccessCheckTest : public test::StepTest {
 protected:
  AccessCheckTest() {
    test::MakeFolder(game + "Season");
    test::WriteFile(game + "f1_9902.exe", "");
    test::WriteFile(game + "CONFIG.INI", "[COMPONENTS]\r\nSEASONDIR=Season\\\r\n");
    test::WriteFile(pkg + "dirs.txt", "");
    test::WriteFile(pkg + "files.txt", "");
  }
  std::string Refused(const std::string& folder, const std::string& reason) {
    return "Couldn't write in the folder " + PathForUser(folder) + ": " + reason;
  }
};

TEST_F(AccessCheckTest, ProbeLeavesNothingAndRefusalsCarryTheFolderAndReason) {
  EXPECT_TRUE(ProbeWriteAccess(game).Ok());
  EXPECT_EQ(test::ListFolder(game), (std::vector<std::string>{"CONFIG.INI", "Season", "f1_9902.exe"}));

  LockedFolder locked(game);
  if (!locked.Locked()) GTEST_SKIP() << "no folder this process cannot write";
  const Status refusal = ProbeWriteAccess(game);
  ASSERT_FALSE(refusal.Ok());
  EXPECT_EQ(refusal.Path(), game);
  EXPECT_FALSE(refusal.Reason().empty());
  EXPECT_TRUE(RightsWouldHelp(refusal));
  EXPECT_EQ(FolderRefusedMessage(refusal), Refused(game, refusal.Reason()));
  // A folder that is not there is the business of the step that needs it.
  EXPECT_TRUE(ProbeFolders({game + "Nowhere\\"}).Ok());
  EXPECT_FALSE(RightsWouldHelp(ProbeWriteAccess(game + "Nowhere\\")));
}

// A refused probe, with and without a front end that can restart the
// installer with administrator rights, and every answer to its question.
TEST_F(AccessCheckTest, RefusalLeadsToTheQuestionOrTheMessage) {
  LockedFolder locked(game);
  if (!locked.Locked()) GTEST_SKIP() << "no folder this process cannot write";
  const std::string reason = ProbeWriteAccess(game).Reason();
  const std::string question = "ask:The game folder " + PathForUser(game) +
                               " can only be changed with administrator rights. Restart the installer as "
                               "administrator?";
  struct Case {
    const char* name;
    bool canRestart;
    bool yes;
    unsigned long restartCode;  // 0: the restart ran
    AccessVerdict verdict;
    std::vector<std::string> log;
    int restarts;
  } cases[] = {
      {"not elevatable: the message and its reason", false, true, 0, AccessVerdict::Refused,
       {"message:" + Refused(game, reason), "notice:" TXT_INSTALL_FAILED}, 0},
      {"Yes: restarted", true, true, 0, AccessVerdict::Restarted, {question}, 1},
      {"No: cancelled", true, false, 0, AccessVerdict::Cancelled, {question, "notice:" TXT_INSTALL_CANCELLED}, 0},
      {"elevation prompt refused", true, true, 1223, AccessVerdict::Cancelled,
       {question, "notice:" TXT_INSTALL_CANCELLED}, 1},
      {"restart failed", true, true, 2, AccessVerdict::Refused,
       {question, "message:" TXT_RESTART_FAILED ": words",
        "notice:" TXT_INSTALL_FAILED},
       1},
  };
  for (const Case& c : cases) {
    test::ScriptedInteraction script;
    InstallerApp installer(script);
    script.yesNo.push_back(c.yes);
    int restarts = 0;
    RestartElevated restart;
    if (c.canRestart)
      restart = [&] {
        ++restarts;
        // What ShellExecuteExA gives: the Windows code and its words.
        return c.restartCode == 0 ? Status() : Status::Failure("x", 0, c.restartCode, "words");
      };
    EXPECT_EQ(CheckFolders(installer, {game}, game, restart, Notice::Failed, Notice::Cancelled), c.verdict) << c.name;
    EXPECT_EQ(script.log, c.log) << c.name;
    EXPECT_EQ(restarts, c.restarts) << c.name;
  }
}

// The terminal's path: nothing runs, not even the pre-install command, when
// the game folder or (with GDB) the season folder refuses.
TEST_F(AccessCheckTest, InstallStopsBeforeThePreInstallCommand) {
  const std::string marker = ToNativePath(dir.Path()) + "pre-install-ran";
  test::WriteFile(pkg + "conf.ini", "[VESKAINSTALL]\r\nGDB=1\r\nPreInstall=/bin/touch " + marker + "\r\n");
  for (const std::string& lockedFolder : {game, game + "Season\\"}) {
    LockedFolder locked(lockedFolder);
    if (!locked.Locked()) GTEST_SKIP() << "no folder this process cannot write";
    test::ScriptedInteraction script;
    InstallerApp installer(script);
    test::ScopedCurrentFolder in(pkg);
    installer.StartUp();
    PathFields fields{game + "f1_9902.exe", game + "CONFIG.INI", ""};
    test::RecordingProgress progress;
    bool began = false;
    EXPECT_EQ(HandleInstall(installer, fields, progress, [&] { began = true; }), InstallResult::Failed);
    EXPECT_FALSE(began);
    ASSERT_EQ(script.messages.size(), 1u);
    const std::string told = "Couldn't write in the folder " + PathForUser(lockedFolder) + ": ";
    EXPECT_EQ(script.messages[0].rfind(told, 0), 0u) << script.messages[0];
    EXPECT_GT(script.messages[0].size(), told.size()) << "no reason given";
    EXPECT_EQ(script.notices, std::vector<Notice>{Notice::Failed});
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_FALSE(fs::exists(ToNativePath(game) + "trilo-records"));
  }
}

// An undo probes the folders it changes before its question: a season
// folder that refuses stops it with the folder and the reason, nothing undone.
TEST_F(AccessCheckTest, UndoStopsBeforeItsQuestion) {
  const std::string sample = dir / "sample\\", samplePkg = dir / "samplepkg\\";
  std::filesystem::copy(test::Native(test::Example("sample-game")), test::Native(sample), fs::copy_options::recursive);
  std::filesystem::copy(test::Native(test::Example("sample-package")), test::Native(samplePkg),
                        fs::copy_options::recursive);
  ASSERT_EQ(test::InstallSample(samplePkg, sample, "Full"), InstallResult::Installed);
  const test::Tree installed = test::ReadTree(sample);
  LockedFolder locked(sample + "Season\\");
  if (!locked.Locked()) GTEST_SKIP() << "no folder this process cannot write";
  test::ScriptedInteraction script;
  EXPECT_EQ(test::UndoInstall(samplePkg, sample, "last", false, script), UndoResult::Failed);
  ASSERT_EQ(script.messages.size(), 1u);
  const std::string told = "Couldn't write in the folder " + PathForUser(sample + "Season\\") + ": ";
  EXPECT_EQ(script.messages[0].rfind(told, 0), 0u) << script.messages[0];
  EXPECT_TRUE(script.questions.empty());
  EXPECT_EQ(script.notices, std::vector<Notice>{Notice::UndoFailed});
  EXPECT_EQ(test::ReadTree(sample), installed);
}

TEST_F(AccessCheckTest, TerminalSaysSoOfALockedGameAndOfAFolderWithoutPackage) {
  const std::string base = ToNativePath(dir.Path());
  test::WriteFile(pkg + "conf.ini", "");
  const std::vector<std::string> flags = {TRILO_TERM_SETUP, "--unattended", "-C", base + "pkg",
                                          "--game-exe", base + "game/f1_9902.exe", "--config",
                                          base + "game/CONFIG.INI"};
  const std::vector<std::string> env = {"WINEPREFIX=" + base + "prefix"};
  {
    LockedFolder locked(game);
    if (!locked.Locked()) GTEST_SKIP() << "no folder this process cannot write";
    const test::ProgramResult r = test::RunProgram(flags, "", env);
    EXPECT_EQ(r.exitCode, 1);
    const std::string told = "trilo-setup: Couldn't write in the folder " + base + "game/: ";
    EXPECT_EQ(r.err.rfind(told, 0), 0u) << r.err;
    EXPECT_GT(r.err.size(), told.size() + 1) << "no reason given: " << r.err;
    EXPECT_NE(r.out.find(TXT_INSTALL_FAILED), std::string::npos) << r.out;
  }
  test::MakeFolder(dir / "empty");
  const test::ProgramResult r = test::RunProgram({TRILO_TERM_SETUP, "-C", base + "empty"}, "", env);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "trilo-setup was started in " + base + "empty, which holds no package. Extract the whole "
                   "package into a folder and start trilo-setup there.\n");
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace trilo
