#include "platform/user_path.h"

#include <cstdlib>

#include "path_map.h"

namespace trilo {

std::string PathFromUser(const std::string& typed) {
  if (typed.empty()) return typed;
  std::string full = typed;
  if (full[0] == '~' && (full.size() == 1 || full[1] == '/')) {
    const char* home = std::getenv("HOME");
    if (home) full = home + full.substr(1);
  }
  if (full[0] != '/') full = NativeCurrentFolder() + "/" + full;
  return FromNativePath(full);
}

std::string PathForUser(const std::string& corePath) { return ToNativePath(corePath); }

}  // namespace trilo
