#include "path_map.h"

#include <dirent.h>
#include <errno.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/text_util.h"

namespace trilo {

namespace {

bool Exists(const std::string& p) {
  struct stat st;
  return lstat(p.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` ignoring ASCII case.
bool FindCaseless(const std::string& folder, const std::string& name, std::string& found) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  bool ok = false;
  while (dirent* e = readdir(dir)) {
    if (strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      ok = true;
      break;
    }
  }
  closedir(dir);
  return ok;
}

}  // namespace

std::string ToNativePath(const std::string& path) {
  const std::string slashed = ToSlashes(path);
  if (slashed.empty() || Exists(slashed)) return slashed;

  // Walk the components; once one is missing even caselessly, the rest is
  // kept as written (it may be about to be created).
  std::string result;
  size_t pos = 0;
  if (slashed[0] == '/') {
    result = "/";
    pos = 1;
  }
  bool resolving = true;
  while (pos <= slashed.size()) {
    size_t next = slashed.find('/', pos);
    if (next == std::string::npos) next = slashed.size();
    std::string comp = slashed.substr(pos, next - pos);
    std::string folder = result;
    if (!comp.empty() && comp != "." && comp != ".." && resolving) {
      std::string candidate = folder + comp;
      if (!Exists(candidate)) {
        std::string found;
        if (FindCaseless(folder, comp, found)) comp = found;
        else resolving = false;
      }
    }
    result += comp;
    if (next < slashed.size()) result += '/';
    pos = next + 1;
  }
  return result;
}

std::string NativeCurrentFolder() {
  std::string buf(4096, '\0');
  while (!getcwd(&buf[0], buf.size())) {
    if (errno != ERANGE || buf.size() > (1u << 20)) return std::string();
    buf.resize(buf.size() * 2);
  }
  buf.resize(buf.find('\0'));
  return buf;
}

std::string FromNativePath(const std::string& path) { return ToBackslashes(path); }

}  // namespace trilo
