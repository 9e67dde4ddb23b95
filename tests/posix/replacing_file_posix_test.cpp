// What only POSIX shows of a replacing file: an unnamed file while it is
// written (Linux), and the temporaries of a process that still runs.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/posix/path_map.h"
#include "platform/replacing_file.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

TEST(ReplacingFilePosix, NothingIsInTheFolderUntilTheCommit) {
  TempDir dir;
#ifdef O_TMPFILE
  const int probe = open(ToNativePath(dir.Path()).c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (probe < 0) GTEST_SKIP() << "the temporary folder's file system has no unnamed files";
  close(probe);
#else
  GTEST_SKIP() << "no unnamed files on this system";
#endif
  // A new file and a replaced one: a kill at any moment before Commit
  // leaves the folder as it was.
  WriteFile(dir / "game.gdb", "old");
  for (const char* target : {"game.gdb", "Mod.lnk"}) {
    ReplacingFile out;
    ASSERT_TRUE(out.Open(dir / target));
    ASSERT_TRUE(out.Write(std::string(100000, 'n')));
    EXPECT_EQ(out.TempPath(), "");
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"game.gdb"}) << target;
    EXPECT_EQ(ReadFile(dir / "game.gdb"), "old");
    if (std::string(target) == "Mod.lnk") {
      ASSERT_TRUE(out.Commit());
      EXPECT_EQ(ReadFile(dir / target), std::string(100000, 'n'));
    }
  }
  EXPECT_EQ(ListFolder(dir.Path()), (std::vector<std::string>{"Mod.lnk", "game.gdb"}));
}

TEST(ReplacingFilePosix, ARunningProcessKeepsItsTemporary) {
  TempDir dir;
  // Our parent runs for sure: its file may be about to be renamed.
  const std::string running = ReplacingFile::TemporaryName(static_cast<unsigned long>(getppid()), 1);
  WriteFile(dir / running, "in the making");
  ReplacingFile out;
  ASSERT_TRUE(out.Open(dir / "game.gdb"));
  ASSERT_TRUE(out.Write("new"));
  ASSERT_TRUE(out.Commit());
  EXPECT_EQ(ListFolder(dir.Path()), (std::vector<std::string>{"game.gdb", running}));
}

}  // namespace
}  // namespace test
}  // namespace trilo
