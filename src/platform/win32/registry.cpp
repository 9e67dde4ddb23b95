#include "platform/registry.h"

#include <windows.h>

#include <cstring>

namespace trilo {

namespace {

/// Holds one open registry key and closes it when it goes.
class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() { Close(); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  /// RegOpenKeyExA; on success the key held before is closed and the new one
  /// held, on failure nothing changes. Returns the platform's error code.
  LONG Open(HKEY root, const char* subKey, REGSAM access) {
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExA(root, subKey, 0, access, &opened);
    if (status == ERROR_SUCCESS) {
      Close();
      key_ = opened;
    }
    return status;
  }

  void Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }

  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool QueryGameInstallDir(std::string& folder) {
  // Reading is all we do, so reading is all we ask for: a user without
  // administrator rights is refused anything more under HKLM. The game is a
  // 32-bit program, so a 64-bit build looks in the 32-bit view, where the
  // game's own setup wrote the key.
  REGSAM access = KEY_READ;
#ifdef _WIN64
  access |= KEY_WOW64_32KEY;
#endif
  RegistryKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\EA SPORTS\\F1 9902", access) != ERROR_SUCCESS) return false;

  char buffer[512];
  DWORD size = sizeof buffer;
  if (RegQueryValueExA(key.Get(), "Install Dir", nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  // A value stored without its terminating NUL fills the buffer exactly; it
  // ends where the data ends.
  folder.assign(buffer, strnlen(buffer, size));
  return true;
}

}  // namespace trilo
