#include <unistd.h>

#include <string>

#include "platform/code_page_id.h"
#include "platform/program_name.h"

namespace trilo {

unsigned ActiveCodePageId() { return 0; }

std::string ProgramName() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string path = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string("trilo-setup");
  size_t slash = path.rfind('/');
  if (slash != std::string::npos) path = path.substr(slash + 1);
  size_t dot = path.rfind('.');
  if (dot != std::string::npos && dot > 0) path = path.substr(0, dot);
  return path;
}

}  // namespace trilo
