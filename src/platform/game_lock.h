#pragma once
#include <cstdint>
#include <string>

#include "platform/status.h"

namespace trilo {

/// One install or undo per game at a time. The lock belongs to the game
/// folder and to this process: the system drops it when the process ends,
/// however it ends, and it leaves nothing in the game folder. On POSIX it
/// is a lock on the open game folder (flock); on Windows a named mutex made
/// from the folder's full path, so a Linux trilo-setup and a trilo-setup.exe
/// under Wine do not exclude each other.
class GameLock {
 public:
  GameLock() = default;
  GameLock(const GameLock&) = delete;
  GameLock& operator=(const GameLock&) = delete;
  ~GameLock() { Release(); }

  /// Takes the lock of `gameFolder` (full, ending in "\") without waiting.
  /// A failure that Locked() when another process holds it.
  Status Take(const std::string& gameFolder);
  void Release();
  bool Held() const { return handle_ != -1; }

 private:
  std::intptr_t handle_ = -1;  // a descriptor or a HANDLE
};

}  // namespace trilo
