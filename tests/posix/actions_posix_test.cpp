// What only a POSIX system can show: limits on a process, permission bits
// for an unprivileged user, links, and names that differ only in case.
#include <gtest/gtest.h>

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "platform/posix/path_map.h"
#include "step_fixture.h"

namespace trilo {
namespace test {
namespace {

constexpr int kCannotDropRoot = 77;

struct ChildRun {
  bool exited = false;
  int status = -1;
  std::string output;
};

// Runs `body` in a forked child and hands back what it returned. The child
// can be limited in the size of the files it writes, or run as an
// unprivileged user when the tests run as root, for whom permission bits
// stop nothing.
ChildRun RunInChild(const std::function<std::string()>& body, bool unprivileged,
                    rlim_t fileSizeLimit = RLIM_INFINITY) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    if (unprivileged && geteuid() == 0) {
      const gid_t nogroup = 65534;
      const uid_t nobody = 65534;
      if (setgroups(0, nullptr) != 0 || setgid(nogroup) != 0 || setuid(nobody) != 0) _exit(kCannotDropRoot);
    }
    if (fileSizeLimit != RLIM_INFINITY) {
      // Past the limit a write fails with EFBIG instead of killing us.
      signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit = {fileSizeLimit, fileSizeLimit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
    }
    std::string out = body();
    ssize_t ignored = write(fds[1], out.data(), out.size());
    (void)ignored;
    _exit(0);
  }
  close(fds[1]);
  ChildRun run;
  char buf[4096];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) run.output.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
    run.exited = true;
    run.status = WEXITSTATUS(status);
  }
  return run;
}

std::string Native(const std::string& core) { return ToNativePath(core); }

// The result and the messages of one step, as one text.
std::string Outcome(bool result, const ScriptedInteraction& ui) {
  std::string out = result ? "true" : "false";
  for (const std::string& m : ui.messages) out += "|" + test::WithoutReasons(m);
  return out;
}

class PosixStepTest : public StepTest {
 protected:
  PosixStepTest() {
    // Reachable for the unprivileged user, whatever the umask.
    chmod(Native(dir.Path()).c_str(), 0755);
    chmod(Native(pkg).c_str(), 0755);
    chmod(Native(game).c_str(), 0755);
  }

  // Fails the test unless the child ran; skips when root cannot be given up.
  bool Ran(const ChildRun& run) {
    if (run.exited && run.status == kCannotDropRoot) return false;
    EXPECT_TRUE(run.exited && run.status == 0) << "child status " << run.status;
    return run.exited && run.status == 0;
  }

  RecordingProgress progress;
};

std::string ManyLines(const std::string& prefix, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += prefix + std::to_string(i) + "=some value of the entry\n";
  return text;
}

TEST_F(PosixStepTest, WriteFailureKeepsTheOldConfigFiles) {
  app.State.OldConfigPath = game + "CONFIG.INI";
  app.Settings.ConfigName = "PACK.INI";
  app.Settings.SaveDir = "Save\\";
  const std::string old = "SAVEDIR=Save\\\n" + ManyLines("KEY", 400);
  WriteFile(app.State.OldConfigPath, old);
  WriteFile(game + "PACK.INI", "from the last install\r\n");

  ChildRun run = RunInChild([&] { return Outcome(app.WriteNewGameConfig(), ui); }, false, 4096);
  ASSERT_TRUE(Ran(run));
  EXPECT_EQ(run.output, "false|Error writing new config file");
  EXPECT_EQ(ReadFile(game + "PACK.INI"), "from the last install\r\n");
  EXPECT_EQ(ReadFile(app.State.OldConfigPath), old);
  EXPECT_EQ(Names(game), (std::vector<std::string>{"CONFIG.INI", "PACK.INI"}));

  // The same install without the limit writes the whole file.
  ASSERT_TRUE(app.WriteNewGameConfig());
  EXPECT_EQ(ReadFile(game + "PACK.INI").size(), old.size() + 401);  // a CR on every line
}

TEST_F(PosixStepTest, WriteFailureKeepsTheOldPlayerFile) {
  MakeFolder(game + "Save\\Driver1");
  app.State.TemplatePlayerPath = game + "Save\\Driver1\\Driver1.PLR";
  app.State.PLAYERNAME = "Driver1";
  app.Settings.SaveDir = "Pack\\";
  MakeFolder(game + "Pack\\Driver1");
  WriteFile(app.State.TemplatePlayerPath, ManyLines("Entry", 400));
  WriteFile(game + "Pack\\Driver1\\Driver1.PLR", "previous\r\n");

  ChildRun run = RunInChild([&] { return Outcome(app.CreatePlayerProfile(), ui); }, false, 4096);
  ASSERT_TRUE(Ran(run));
  EXPECT_EQ(run.output, "false|Error writing new PLR file");
  EXPECT_EQ(ReadFile(game + "Pack\\Driver1\\Driver1.PLR"), "previous\r\n");
  EXPECT_EQ(Names(game + "Pack\\Driver1"), std::vector<std::string>{"Driver1.PLR"});
}

TEST_F(PosixStepTest, CopyCutShortIsLoggedAndLeavesNoPartialFile) {
  WriteFile(pkg + "big.dat", std::string(64 * 1024, 'b'));
  WriteFile(pkg + "small.dat", "s");
  WriteFile(pkg + "files.txt", "${TOPDIR}big.dat=big.dat\n${TOPDIR}small.dat=small.dat\n");
  ChildRun run = RunInChild([&] { return Outcome(app.CopyTemplateFiles(progress), ui); }, false, 8192);
  ASSERT_TRUE(Ran(run));
  EXPECT_EQ(run.output, "true|1 of 2 files could not be copied:\n  " + game + "big.dat: <reason>\nThey are listed in log.txt.");
  EXPECT_EQ(ReadFile(pkg + "log.txt"),
            "Couldn't copy: big.dat => " + game + "big.dat, errno=27, last error=223\r\n");  // EFBIG
  EXPECT_EQ(Names(game), std::vector<std::string>{"small.dat"});
}

TEST_F(PosixStepTest, ReadOnlyTargetsAreCreationErrors) {
  app.State.OldConfigPath = game + "CONFIG.INI";
  app.Settings.ConfigName = "PACK.INI";
  WriteFile(app.State.OldConfigPath, "SAVEDIR=Save\\\n");
  WriteFile(game + "PACK.INI", "read-only\r\n");
  MakeFolder(game + "Save\\Driver1");
  app.State.TemplatePlayerPath = game + "Save\\Driver1\\Driver1.PLR";
  app.State.PLAYERNAME = "Driver1";
  app.Settings.SaveDir = "Pack\\";
  MakeFolder(game + "Pack\\Driver1");
  WriteFile(app.State.TemplatePlayerPath, "A=1\n");
  WriteFile(game + "Pack\\Driver1\\Driver1.PLR", "read-only\r\n");
  // Folders writable by anyone: only the files' own bits are in the way.
  for (const std::string& folder : {game, game + "Pack", game + "Pack\\Driver1"})
    chmod(Native(folder).c_str(), 0777);
  chmod(Native(game + "PACK.INI").c_str(), 0444);
  chmod(Native(game + "Pack\\Driver1\\Driver1.PLR").c_str(), 0444);

  ChildRun run = RunInChild(
      [&] {
        bool config = app.WriteNewGameConfig();
        bool player = app.CreatePlayerProfile();
        return Outcome(config || player, ui);
      },
      true);
  if (!Ran(run)) GTEST_SKIP() << "running as root and cannot switch to an unprivileged user";
  EXPECT_EQ(run.output, "false|Error creating new config file|Error creating new PLR file");
  EXPECT_EQ(ReadFile(game + "PACK.INI"), "read-only\r\n");
  EXPECT_EQ(ReadFile(game + "Pack\\Driver1\\Driver1.PLR"), "read-only\r\n");
  EXPECT_EQ(Names(game + "Pack\\Driver1"), std::vector<std::string>{"Driver1.PLR"});
}

TEST_F(PosixStepTest, ReadOnlyPackageFolderLosesTheLogButNotTheCopies) {
  WriteFile(pkg + "x.dat", "x");
  WriteFile(pkg + "files.txt", "${TOPDIR}a=none\n${TOPDIR}x.dat=x.dat\n${TOPDIR}b=none\n");
  chmod(Native(pkg).c_str(), 0555);
  chmod(Native(game).c_str(), 0777);
  ChildRun run = RunInChild([&] { return Outcome(app.CopyTemplateFiles(progress), ui); }, true);
  if (!Ran(run)) GTEST_SKIP() << "running as root and cannot switch to an unprivileged user";
  EXPECT_EQ(run.output, "true|2 of 3 files could not be copied:\n  none: <reason>\n  none: <reason>\n"
                        "log.txt could not be written.");
  EXPECT_EQ(ReadFile(game + "x.dat"), "x");
  EXPECT_FALSE(FileExists(pkg + "log.txt"));
}

// A path far longer than the system allows, with a folder every two bytes:
// it is refused as it stands, never mapped folder by folder.
TEST_F(PosixStepTest, PathsLongerThanTheSystemAllowsFailAsTheyStand) {
  std::string deep;
  for (int i = 0; i < 200000; ++i) deep += "a\\";
  // Written out: a placeholder would stop expanding long before this length.
  WriteFile(pkg + "dirs.txt", game + deep + "\r\n");
  WriteFile(pkg + "files.txt", game + deep + "x.dat=data.dat\r\n");
  WriteFile(pkg + "data.dat", "d");
  EXPECT_FALSE(app.CreateTemplateDirectories());
  EXPECT_TRUE(app.CopyTemplateFiles(progress));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0], "Error creating directory");
  EXPECT_EQ(test::WithoutReasons(ui.messages[1]), "1 of 1 files could not be copied:\n  " + game + deep +
                                                "x.dat: <reason>\nThey are listed in log.txt.");
  const std::string log = ReadFile(pkg + "log.txt");
  EXPECT_NE(log.find("x.dat, errno=36, last error=206"), std::string::npos);  // the name is too long
  EXPECT_EQ(Names(game), std::vector<std::string>{});
}

TEST_F(PosixStepTest, NamesMatchWhateverTheirCase) {
  MakeFolder(pkg + "Data");
  MakeFolder(game + "Save");
  WriteFile(pkg + "Data\\Car.DAT", "car");
  WriteFile(pkg + "dirs.txt", "${TOPDIR}SAVE\n${TOPDIR}save\\Sub\n");
  WriteFile(pkg + "FILES.TXT", "${TOPDIR}SAVE\\SUB\\car.dat = data\\CAR.dat\n");
  ASSERT_TRUE(app.CreateTemplateDirectories());
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Names(game), std::vector<std::string>{"Save"});
  EXPECT_EQ(ReadFile(game + "Save\\Sub\\car.dat"), "car");
  EXPECT_FALSE(FileExists(pkg + "log.txt"));
}

TEST_F(PosixStepTest, LinksToTheTemplateAreTheTemplate) {
  MakeFolder(game + "Save\\Driver1");
  MakeFolder(game + "Pack\\Driver1");
  app.State.TemplatePlayerPath = game + "Save\\Driver1\\Driver1.PLR";
  app.State.PLAYERNAME = "Driver1";
  app.Settings.SaveDir = "Pack\\";
  const std::string content = "SceneFile=a\nB=2\n";
  WriteFile(app.State.TemplatePlayerPath, content);
  const std::string target = Native(game + "Pack\\Driver1\\Driver1.PLR");

  ASSERT_EQ(link(Native(app.State.TemplatePlayerPath).c_str(), target.c_str()), 0);
  EXPECT_FALSE(app.CreatePlayerProfile());
  ASSERT_EQ(unlink(target.c_str()), 0);
  ASSERT_EQ(symlink(Native(app.State.TemplatePlayerPath).c_str(), target.c_str()), 0);
  EXPECT_FALSE(app.CreatePlayerProfile());
  EXPECT_EQ(ui.messages, std::vector<std::string>(2, "Error creating new PLR file"));
  EXPECT_EQ(ReadFile(app.State.TemplatePlayerPath), content);

  // A copy entry from a file to a link of itself keeps the file too.
  WriteFile(pkg + "files.txt", "${TOPDIR}Pack\\Driver1\\Driver1.PLR=${TOPDIR}Save\\Driver1\\Driver1.PLR\n");
  ASSERT_TRUE(app.CopyTemplateFiles(progress));
  EXPECT_EQ(ReadFile(app.State.TemplatePlayerPath), content);
  EXPECT_NE(ReadFile(pkg + "log.txt").find("errno=16, last error=32\r\n"), std::string::npos);
}

}  // namespace
}  // namespace test
}  // namespace trilo
