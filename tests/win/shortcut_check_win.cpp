#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "shortcut_check.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace trilo {
namespace test {

namespace {

// The folder the check after the suite reads (see tests/extra.cmake), one
// for each code page the suite runs in. A build made on the Linux host sees
// its own folders through Z:.
fs::path HandOverFolder() {
  std::string dir = TRILO_TEST_BIN_DIR;
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
  return fs::path(dir) / "shortcuts" / std::to_string(GetACP());
}

std::wstring Wide(const std::string& text, UINT codePage) {
  int n = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(n > 0 ? n : 1, L'\0');
  MultiByteToWideChar(codePage, 0, text.c_str(), -1, &out[0], n);
  out.resize(out.size() - 1);
  return out;
}

std::string Narrow(const std::wstring& text, UINT codePage, bool* lossy = nullptr) {
  BOOL usedDefault = FALSE;
  BOOL* flag = codePage == CP_UTF8 ? nullptr : &usedDefault;
  int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, flag);
  std::string out(n > 0 ? n : 1, '\0');
  WideCharToMultiByte(codePage, 0, text.c_str(), -1, &out[0], n, nullptr, flag);
  out.resize(out.size() - 1);
  if (lossy) *lossy = usedDefault != FALSE;
  return out;
}

// Every run starts from an empty folder, so that only this run's shortcuts
// are checked.
class HandOverReset : public ::testing::Environment {
 public:
  void SetUp() override {
    std::error_code ec;
    fs::remove_all(HandOverFolder(), ec);
    fs::create_directories(HandOverFolder(), ec);
  }
};
const auto* const kReset = ::testing::AddGlobalTestEnvironment(new HandOverReset);

}  // namespace

void ExpectShortcut(const std::string& lnkPath, const ExpectedShortcut& expected) {
  static int count = 0;
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string base = std::string(test->test_suite_name()) + "." + test->name() + "." + std::to_string(++count);
  const fs::path folder = HandOverFolder();

  // The expectation goes over even when the shortcut is missing, so the
  // later check fails on it too.
  EXPECT_TRUE(FileExists(lnkPath)) << lnkPath;
  std::error_code ec;
  fs::copy_file(fs::path(Wide(lnkPath, CP_ACP)), folder / (base + ".lnk"), fs::copy_options::overwrite_existing, ec);
  EXPECT_FALSE(ec) << lnkPath << ": " << ec.message();

  // One "Field: value" line per field lnkinfo must show, "!Field" for one
  // it must not show.
  std::ofstream out(folder / (base + ".expect"), std::ios::binary);
  auto field = [&](const char* name, const std::string& value) {
    if (value.empty()) out << '!' << name << '\n';
    else out << name << ": " << value << '\n';
  };
  field("Local path", expected.localPath);
  field("Description", expected.description);
  field("Working directory", expected.workingDir);
  field("Command line arguments", expected.arguments);
  field("Icon location", expected.iconLocation);
  EXPECT_TRUE(out.good());
}

std::string ShownPath(const std::string& corePath) { return Narrow(Wide(corePath, CP_ACP), CP_UTF8); }

std::string SystemText(const std::string& utf8) {
  bool lossy = false;
  std::string text = Narrow(Wide(utf8, CP_UTF8), CP_ACP, &lossy);
  return lossy ? std::string() : text;
}

}  // namespace test
}  // namespace trilo
