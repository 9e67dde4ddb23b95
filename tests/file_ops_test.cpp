#include <gtest/gtest.h>

#include <string>

#include "platform/exclusive_file.h"
#include "platform/file_ops.h"
#include "text/content_hash.h"
#include "test_support.h"

namespace trilo {
namespace test {
namespace {

TEST(CopyFileReplacingTest, ReplacesTheDestinationAndTellsFailuresApart) {
  TempDir dir;
  WriteFile(dir / "a.txt", "new content");
  WriteFile(dir / "b.txt", "an older and longer content");
  Status ok = CopyFileReplacing(dir / "a.txt", dir / "b.txt");
  EXPECT_TRUE(ok.Ok());
  EXPECT_EQ(ReadFile(dir / "b.txt"), "new content");

  struct Case {
    std::string from, to;
    int errnoValue;
    unsigned long lastError;
  } cases[] = {
      {dir / "none.txt", dir / "c.txt", 2, 2},
      {dir / "none\\x.txt", dir / "c.txt", 2, 3},
      {dir / "a.txt", dir / "none\\c.txt", 2, 3},
      {dir / "a.txt", dir / "a.txt\\c.txt", -1, 3},  // a file where a folder should be
      {"", dir / "c.txt", 2, 3},
      {dir / "a.txt", "", 2, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from + " => " + c.to);
    Status out = CopyFileReplacing(c.from, c.to);
    EXPECT_FALSE(out.Ok());
    if (c.errnoValue >= 0) {
      EXPECT_EQ(out.Errno(), c.errnoValue);
    }
    EXPECT_EQ(out.WindowsCode(), c.lastError);
  }
  EXPECT_FALSE(FileExists(dir / "c.txt"));
}

TEST(CopyFileReplacingTest, AnnouncesWhatItWritesBeforeTouchingTheDestination) {
  TempDir dir;
  // Empty, small, and larger than what is held in memory (read twice then).
  std::string large(3 << 20, 'x');
  for (size_t i = 0; i < large.size(); i += 4093) large[i] = static_cast<char>(i);
  for (const std::string& bytes : {std::string(), std::string("a\r\nb\0c", 6), large}) {
    SCOPED_TRACE(bytes.size());
    WriteFile(dir / "src.bin", bytes);
    WriteFile(dir / "dst.bin", "old");
    ContentHash expected;
    expected.Add(bytes);
    for (bool accept : {false, true}) {
      int calls = 0;
      const Status out = CopyFileReplacing(dir / "src.bin", dir / "dst.bin", [&](CopyNotice& notice) {
        const CopiedContent* content = notice.content;
        ++calls;
        EXPECT_EQ(ReadFile(dir / "dst.bin"), "old");
        if (content) {
          EXPECT_EQ(content->size, bytes.size());
          EXPECT_EQ(content->hash, expected.Value());
        } else {
          ADD_FAILURE() << "a readable file announced as unknown";
        }
        return accept ? Status() : Status::Failure("", 0, 0, "stopped");
      });
      EXPECT_EQ(calls, 1);
      EXPECT_EQ(out.Ok(), accept);
      EXPECT_EQ(out.Reason() == "stopped", !accept);
      EXPECT_EQ(ReadFile(dir / "dst.bin"), accept ? bytes : "old");
    }
  }
  // A source that cannot be read announces nothing and fails as it would.
  int calls = 0;
  const Status missing =
      CopyFileReplacing(dir / "none.bin", dir / "dst.bin", [&](CopyNotice&) {
        ++calls;
        return Status();
      });
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(missing.Ok());
  EXPECT_NE(missing.Reason(), "stopped");
  EXPECT_EQ(missing.WindowsCode(), 2u);
}

TEST(CreateFolderTest, TellsAlreadyExistsFromFailure) {
  TempDir dir;
  enum { Created, AlreadyExists, Failed };
  auto made = [](const std::string& path) {
    bool existed = false;
    const Status status = CreateFolder(path, &existed);
    return !status ? Failed : existed ? AlreadyExists : Created;
  };
  EXPECT_EQ(made(dir / "new"), Created);
  EXPECT_TRUE(IsFolder(dir / "new"));
  EXPECT_EQ(made(dir / "new"), AlreadyExists);
  EXPECT_EQ(made(dir / "NEW\\"), AlreadyExists);  // any case, trailing "\"
  WriteFile(dir / "file", "");
  EXPECT_EQ(made(dir / "file"), AlreadyExists);
  EXPECT_EQ(made(dir / "none\\sub"), Failed);
  EXPECT_EQ(made(dir / "file\\sub"), Failed);
  EXPECT_EQ(made(""), Failed);
}

TEST(ExclusiveFileTest, NewFileMayNotBeTheOpenSourceOrAFolder) {
  TempDir dir;
  WriteFile(dir / "SOURCE.INI", "s");
  WriteFile(dir / "other.ini", "o");
  MakeFolder(dir / "sub");
  ExclusiveFile source;
  ASSERT_TRUE(source.Open(dir / "SOURCE.INI"));
  EXPECT_EQ(CheckNewFile(dir / "new.ini", source), NewFileCheck::Creatable);
  EXPECT_EQ(CheckNewFile(dir / "other.ini", source), NewFileCheck::Creatable);
  EXPECT_EQ(CheckNewFile(dir / "none\\new.ini", source), NewFileCheck::Creatable);  // creating tells
  EXPECT_EQ(CheckNewFile(dir / "sub", source), NewFileCheck::Folder);
  EXPECT_EQ(CheckNewFile(dir / "new\\", source), NewFileCheck::Folder);
  EXPECT_EQ(CheckNewFile("", source), NewFileCheck::Folder);
  // Windows answers with a sharing violation, POSIX by the file's identity.
  EXPECT_NE(CheckNewFile(dir / "SOURCE.INI", source), NewFileCheck::Creatable);
  EXPECT_NE(CheckNewFile(dir / "source.ini", source), NewFileCheck::Creatable);
  EXPECT_NE(CheckNewFile(dir / "sub\\..\\SOURCE.INI", source), NewFileCheck::Creatable);
  source.Close();
  EXPECT_EQ(CheckNewFile(dir / "SOURCE.INI", source), NewFileCheck::Creatable);
  EXPECT_EQ(ReadFile(dir / "SOURCE.INI"), "s");
}

}  // namespace
}  // namespace test
}  // namespace trilo
