#include "platform/game_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "path_map.h"

namespace trilo {

Status GameLock::Take(const std::string& gameFolder) {
  Release();
  const int fd = open(ToNativePath(gameFolder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return LastSystemError(gameFolder, Status::Phase::Open);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const Status failed = LastSystemError(gameFolder);
    close(fd);
    return failed;
  }
  handle_ = fd;
  return Status();
}

void GameLock::Release() {
  if (handle_ == -1) return;
  close(static_cast<int>(handle_));  // the lock goes with the descriptor
  handle_ = -1;
}

}  // namespace trilo
