// Our own INI reader against the real profile functions, on the same files.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <iostream>

#include "ini_corpus.h"
#include "formats/ini_reader.h"
#include "platform/profile.h"
#include "test_support.h"

namespace trilo {
namespace {

// Wine exports its version from ntdll; Windows has no such function.
bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// A name or value with its control bytes and non-ASCII bytes as \xNN.
std::string Shown(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02X", c);
    out += c < 0x20 || c >= 0x7F ? std::string(escape) : std::string(1, static_cast<char>(c));
  }
  return out;
}

TEST(ProfileDifferentialTest, OwnReaderAnswersAsTheProfileFunctions) {
  test::TempDir dir;
  int compared = 0;
  int olderWine = 0;
  int wineDiffers = 0;
  for (const test::IniCase& c : test::IniCorpus()) {
    const std::string path = dir / "corpus.ini";
    test::WriteFile(path, c.text);
    const IniText own(ReadProfileText(path));
    for (const auto& q : c.wineDiffers) {
      const std::string ours = own.GetString(q.first, q.second, "dflt", 1024);
      const std::string real = ReadProfileString(q.first, q.second, "dflt", path, 1024);
      if (UnderWine() && real != ours) {
        std::cout << "note: Wine answers [" << Shown(q.first) << "] " << Shown(q.second) << " of \"" << c.name
                  << "\" with \"" << Shown(real) << "\"; Windows and our reader with \"" << Shown(ours) << "\"\n";
        ++wineDiffers;
      } else {
        EXPECT_EQ(ours, real) << c.name << ": [" << q.first << "] " << q.second;
      }
    }
    // What a reader that keeps the blanks inside the brackets finds there: nothing.
    const bool olderWineMayDiffer = c.olderWineKeepsBracketBlanks && UnderWine();
    for (const auto& q : c.queries) {
      for (size_t buffer : {size_t(1024), size_t(8), size_t(2)}) {
        const std::string ours = own.GetString(q.first, q.second, "dflt", buffer);
        const std::string real = ReadProfileString(q.first, q.second, "dflt", path, buffer);
        if (olderWineMayDiffer && real != ours) {
          EXPECT_EQ(real, IniText("").GetString(q.first, q.second, "dflt", buffer)) << c.name;
          ++olderWine;
        } else {
          EXPECT_EQ(ours, real) << c.name << ": [" << q.first << "] " << q.second << " buffer " << buffer;
        }
        ++compared;
      }
      const int ours = own.GetInt(q.first, q.second, -77);
      const int real = ReadProfileInt(q.first, q.second, -77, path);
      if (olderWineMayDiffer && real != ours) EXPECT_EQ(real, -77) << c.name;
      else EXPECT_EQ(ours, real) << c.name << ": [" << q.first << "] " << q.second;
    }
  }
  EXPECT_GT(compared, 100);
  if (wineDiffers) std::cout << "note: " << wineDiffers << " answers where Wine is not Windows\n";
  if (olderWine)
    std::cout << "note: this Wine keeps the blanks inside a section's brackets (" << olderWine
              << " answers); Windows and newer Wine drop them, as our reader does\n";
}

}  // namespace
}  // namespace trilo
