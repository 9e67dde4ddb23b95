#include "platform/write_access.h"

#include <errno.h>
#include <unistd.h>

namespace trilo {

bool RunsElevated() { return geteuid() == 0; }

Status RunElevated(const std::string& program, const std::string&, const std::string&, unsigned long&) {
  // A terminal user gains rights with sudo, outside the installer.
  return SystemError(program, ENOSYS);
}

}  // namespace trilo
