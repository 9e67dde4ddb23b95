// The game's folder from the registry, read through the real registry (the
// Wine prefix's under Wine). Each test puts back what it found.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry.h"

namespace {

const char kParent[] = "SOFTWARE\\EA SPORTS";
const char kKey[] = "SOFTWARE\\EA SPORTS\\F1 9902";
const char kValue[] = "Install Dir";

bool KeyExists(const char* path, REGSAM view) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

/// Owns "Install Dir" in one view of the registry for the length of a test:
/// remembers what was there and restores it, removing keys it had to create.
class ScopedInstallDir {
 public:
  explicit ScopedInstallDir(REGSAM view) : view_(view) {
    hadParent_ = KeyExists(kParent, view);
    hadKey_ = KeyExists(kKey, view);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | view, &key) == ERROR_SUCCESS) {
      DWORD size = 0;
      if (RegQueryValueExA(key, kValue, nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
        hadValue_ = true;
        oldData_.resize(size);
        RegQueryValueExA(key, kValue, nullptr, &oldType_, oldData_.data(), &size);
      }
      RegCloseKey(key);
    }
  }

  ~ScopedInstallDir() {
    if (hadValue_) {
      Write(oldType_, oldData_);
    } else if (hadKey_) {
      Remove();
    } else {
      RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kKey, view_, 0);
      if (!hadParent_) RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kParent, view_, 0);
    }
  }

  /// False when the registry refuses (a user without administrator rights).
  bool Set(const std::string& text) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    return Write(REG_SZ, data);
  }

  bool Write(DWORD type, const std::vector<BYTE>& data) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE | view_, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      return false;
    }
    LONG status = RegSetValueExA(key, kValue, 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
  }

  void Remove() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE | view_, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, kValue);
      RegCloseKey(key);
    }
  }

 private:
  REGSAM view_;
  bool hadParent_ = false;
  bool hadKey_ = false;
  bool hadValue_ = false;
  DWORD oldType_ = 0;
  std::vector<BYTE> oldData_;
};

#define SET_OR_SKIP(scope, text) \
  if (!(scope).Set(text)) GTEST_SKIP() << "no write access to HKEY_LOCAL_MACHINE"

// The game is a 32-bit program and its setup wrote the 32-bit view; a 64-bit
// installer must look there and not in its own view.
TEST(GameRegistry, ReadsTheGamesThirtyTwoBitView) {
  ScopedInstallDir game(KEY_WOW64_32KEY);
  ScopedInstallDir other(KEY_WOW64_64KEY);
  SET_OR_SKIP(game, "C:\\Games\\F1 Season");
  SET_OR_SKIP(other, "C:\\Wrong View");
  std::string folder;
  ASSERT_TRUE(trilo::QueryGameInstallDir(folder));
  EXPECT_EQ("C:\\Games\\F1 Season", folder);
}

TEST(GameRegistry, MissingValueFindsNothing) {
  ScopedInstallDir game(KEY_WOW64_32KEY);
  SET_OR_SKIP(game, "C:\\Games\\F1");
  game.Remove();
  std::string folder = "unchanged";
  EXPECT_FALSE(trilo::QueryGameInstallDir(folder));
  EXPECT_EQ("unchanged", folder);
}

// The value is read into 512 bytes: 511 characters and the terminator fit,
// a longer value is not read at all.
TEST(GameRegistry, ValueMustFitFiveHundredTwelveBytes) {
  ScopedInstallDir game(KEY_WOW64_32KEY);
  std::string longest = "C:\\" + std::string(508, 'a');
  SET_OR_SKIP(game, longest);
  std::string folder;
  ASSERT_TRUE(trilo::QueryGameInstallDir(folder));
  EXPECT_EQ(longest, folder);

  ASSERT_TRUE(game.Set(longest + "b"));
  folder = "unchanged";
  EXPECT_FALSE(trilo::QueryGameInstallDir(folder));
  EXPECT_EQ("unchanged", folder);
}

// The value's type is not looked at: data that fills the buffer without a
// terminating NUL still gives exactly its own characters.
TEST(GameRegistry, ValueWithoutTerminatorEndsWithItsData) {
  ScopedInstallDir game(KEY_WOW64_32KEY);
  SET_OR_SKIP(game, "x");
  ASSERT_TRUE(game.Write(REG_BINARY, std::vector<BYTE>(512, 'D')));
  std::string folder;
  ASSERT_TRUE(trilo::QueryGameInstallDir(folder));
  EXPECT_EQ(std::string(512, 'D'), folder);

  ASSERT_TRUE(game.Write(REG_BINARY, std::vector<BYTE>{'C', ':', '\\', 'G'}));
  ASSERT_TRUE(trilo::QueryGameInstallDir(folder));
  EXPECT_EQ("C:\\G", folder);
}

}  // namespace
