#include "platform/game_lock.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "text/content_hash.h"
#include "text/text_util.h"

namespace trilo {

namespace {

// A mutex name holds no "\" and is short: the folder's full path, in one
// case as Windows names folders, stands in by its hash.
std::string MutexName(const std::string& gameFolder) {
  std::vector<char> full(MAX_PATH * 4);
  const DWORD n = GetFullPathNameA(gameFolder.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  std::string path = n && n < full.size() ? std::string(full.data(), n) : gameFolder;
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  ContentHash hash;
  hash.Add(FoldCase(path));
  char name[64];
  std::snprintf(name, sizeof name, "Local\\trilo-game-%016llx", static_cast<unsigned long long>(hash.Value()));
  return name;
}

}  // namespace

Status GameLock::Take(const std::string& gameFolder) {
  Release();
  HANDLE mutex = CreateMutexA(nullptr, TRUE, MutexName(gameFolder).c_str());
  if (!mutex) return LastSystemError(gameFolder);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return SystemError(gameFolder, ERROR_LOCK_VIOLATION);
  }
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
  return Status();
}

void GameLock::Release() {
  if (handle_ == -1) return;
  HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  handle_ = -1;
}

}  // namespace trilo
