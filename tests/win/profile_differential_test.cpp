// Our own INI reader against the real profile functions, on the same files.
#include <gtest/gtest.h>

#include "ini_corpus.h"
#include "formats/ini_reader.h"
#include "platform/profile.h"
#include "test_support.h"

namespace trilo {
namespace {

TEST(ProfileDifferentialTest, OwnReaderAnswersAsTheProfileFunctions) {
  test::TempDir dir;
  int compared = 0;
  for (const test::IniCase& c : test::IniCorpus()) {
    const std::string path = dir / "corpus.ini";
    test::WriteFile(path, c.text);
    IniText own(c.text);
    for (const auto& q : c.queries) {
      for (size_t buffer : {size_t(1024), size_t(8), size_t(2)}) {
        EXPECT_EQ(own.GetString(q.first, q.second, "dflt", buffer),
                  ReadProfileString(q.first, q.second, "dflt", path, buffer))
            << c.name << ": [" << q.first << "] " << q.second << " buffer " << buffer;
        ++compared;
      }
      EXPECT_EQ(own.GetInt(q.first, q.second, -77), ReadProfileInt(q.first, q.second, -77, path))
          << c.name << ": [" << q.first << "] " << q.second;
    }
  }
  EXPECT_GT(compared, 100);
}

}  // namespace
}  // namespace trilo
