// The file that replaces a target only once complete, and the temporaries
// an interrupted run leaves behind.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <string>
#include <vector>

#include "platform/replacing_file.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

unsigned long OwnId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

// No process has this id: it is past every POSIX pid and, being odd, none
// of the multiples of four that Windows hands out.
constexpr unsigned long kGoneProcess = 4000000001ul;

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

struct NameCase {
  const char* entry;
  bool ours;
  unsigned long pid;
};

TEST(ReplacingFileNames, OnlyOurOwnPatternIsTakenForATemporary) {
  EXPECT_EQ(ReplacingFile::TemporaryName(123, 4), "~trilo-123-4.tmp");
  const NameCase cases[] = {
      {"~trilo-123-4.tmp", true, 123},
      {"~trilo-4000000001-77.tmp", true, 4000000001ul},
      {"game.gdb~trilo.tmp", true, 0},  // the name earlier versions used
      {"GAME.GDB~trilo.tmp", true, 0},
      {"game.gdb~trilo2.tmp", true, 0},  // and beside a name that was taken
      {"game.gdb~trilo17.tmp", true, 0},
      {"game.gdb~trilo1.tmp", false, 0},
      {"game.gdb~trilo02.tmp", false, 0},
      {"other.gdb~trilo.tmp", false, 0},
      {"game.gdb", false, 0},
      {"~trilo-123.tmp", false, 0},
      {"~trilo--4.tmp", false, 0},
      {"~trilo-123-.tmp", false, 0},
      {"~trilo-12a-4.tmp", false, 0},
      {"~trilo-0123-4.tmp", false, 0},
      {"~trilo-123-4-5.tmp", false, 0},
      {"~trilo-123-4.tmp.bak", false, 0},
      {"x~trilo-123-4.tmp", false, 0},
      {"~trilo-99999999999999999999-1.tmp", false, 0},
  };
  for (const NameCase& c : cases) {
    unsigned long pid = 99;
    EXPECT_EQ(ReplacingFile::IsTemporaryName(c.entry, "game.gdb", pid), c.ours) << c.entry;
    if (c.ours) {
      EXPECT_EQ(pid, c.pid) << c.entry;
    }
  }
}

TEST(ReplacingFileNames, EveryTemporaryNameIsNewAndBesideItsTarget) {
  unsigned long pid = 0;
  const std::string first = ReplacingFile::TemporaryPathBeside("C:\\Game\\Season\\game.gdb");
  const std::string second = ReplacingFile::TemporaryPathBeside("C:\\Game\\Season\\game.gdb");
  EXPECT_NE(first, second);
  for (const std::string& path : {first, second}) {
    ASSERT_EQ(path.rfind("C:\\Game\\Season\\", 0), 0u) << path;
    EXPECT_TRUE(ReplacingFile::IsTemporaryName(path.substr(15), "game.gdb", pid)) << path;
    EXPECT_EQ(pid, OwnId());
  }
  EXPECT_EQ(ReplacingFile::TemporaryPathBeside("C:game.gdb").substr(0, 9), "C:~trilo-");
}

TEST(ReplacingFile, StaleTemporariesGoAndNothingStandsInTheWay) {
  TempDir dir;
  WriteFile(dir / "game.gdb", "old");
  // Left by runs that were killed: files go, a folder stays but is no obstacle.
  const std::string goneFile = ReplacingFile::TemporaryName(kGoneProcess, 1);
  const std::string goneFolder = ReplacingFile::TemporaryName(kGoneProcess, 2);
  // An earlier process that had our id.
  const std::string ownOld = ReplacingFile::TemporaryName(OwnId(), 4000000000ul);
  WriteFile(dir / goneFile, "cut");
  MakeFolder(dir / goneFolder);
  WriteFile(dir / ownOld, "cut");
  WriteFile(dir / "game.gdb~trilo.tmp", "cut");
  MakeFolder(dir / "Driver1.PLR~trilo.tmp");
  WriteFile(dir / "unrelated.tmp", "kept");

  for (const char* target : {"game.gdb", "Driver1.PLR"}) {
    ReplacingFile out;
    ASSERT_TRUE(out.Open(dir / target)) << target;
    if (!out.TempPath().empty()) {
      // Named after this process, never after the target.
      unsigned long pid = 0;
      EXPECT_TRUE(ReplacingFile::IsTemporaryName(BaseName(out.TempPath()), target, pid)) << out.TempPath();
      EXPECT_EQ(pid, OwnId());
    }
    ASSERT_TRUE(out.Write(std::string("new ") + target));
    ASSERT_TRUE(out.Commit()) << target;
  }
  EXPECT_EQ(ReadFile(dir / "game.gdb"), "new game.gdb");
  EXPECT_EQ(ReadFile(dir / "Driver1.PLR"), "new Driver1.PLR");
  std::vector<std::string> expected = {"Driver1.PLR", "Driver1.PLR~trilo.tmp", "game.gdb", "unrelated.tmp",
                                       goneFolder};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ListFolder(dir.Path()), expected);
}

TEST(ReplacingFile, ATargetThatIsNoFileIsRefused) {
  TempDir dir;
  MakeFolder(dir / "Save");
  ReplacingFile out;
  EXPECT_FALSE(out.Open(dir / "Save\\"));  // a folder's path names no file
  // A folder at the target's name: the file is written, the rename fails,
  // and nothing is left of it.
  ASSERT_TRUE(out.Open(dir / "Save"));
  ASSERT_TRUE(out.Write("x"));
  EXPECT_FALSE(out.Commit());
  EXPECT_TRUE(IsFolder(dir / "Save"));
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"Save"});
}

TEST(ReplacingFile, AbandonedFileLeavesNoTrace) {
  TempDir dir;
  WriteFile(dir / "PACK.INI", "old");
  {
    ReplacingFile out;
    ASSERT_TRUE(out.Open(dir / "PACK.INI"));
    ASSERT_TRUE(out.Write("half"));
    out.Abandon();
    EXPECT_FALSE(out.Commit());
  }
  {
    ReplacingFile dropped;
    ASSERT_TRUE(dropped.Open(dir / "NEW.INI"));
    ASSERT_TRUE(dropped.Write("half"));
  }
  EXPECT_EQ(ReadFile(dir / "PACK.INI"), "old");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"PACK.INI"});
}

}  // namespace
}  // namespace test
}  // namespace trilo
