#include "platform/write_access.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "path_map.h"

namespace trilo {

Status ProbeWriteAccess(const std::string& folder) {
#ifdef O_TMPFILE
  // An unnamed file: nothing is left in the game's folder whenever we die.
  const std::string native = ToNativePath(folder);
  const int fd = open(native.empty() ? "" : native.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd >= 0) {
    close(fd);
    return Status();
  }
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return InFolder(folder, SystemError(folder, errno));
#endif
  return ProbeWithNamedFile(folder);
}

bool RunsElevated() { return geteuid() == 0; }

Status RunElevated(const std::string& program, const std::string&, const std::string&, unsigned long&) {
  // A terminal user gains rights with sudo, outside the installer.
  return SystemError(program, ENOSYS);
}

}  // namespace trilo
