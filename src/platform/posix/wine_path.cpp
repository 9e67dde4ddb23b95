#include "wine_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "path_map.h"

namespace trilo {

namespace {

std::string CurrentFolder() {
  std::string folder = NativeCurrentFolder();
  return folder.empty() ? "/" : folder;
}

bool IsDir(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string JoinNative(const std::vector<std::string>& parts, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) out += "/" + parts[i];
  return out.empty() ? "/" : out;
}

// A folder holding drive_c is a Wine prefix when it also holds the drive
// letters; a folder merely called drive_c elsewhere is not C:.
bool IsWinePrefix(const std::string& folder) {
  return IsDir(folder + (folder == "/" ? "" : "/") + "dosdevices");
}

bool IsDriveLetter(const std::string& name) {
  return name.size() == 2 && name[1] == ':' &&
         ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z'));
}

// Where Wine places a POSIX path: the drive, how many of the path's
// components make up its root, and the prefix that drive belongs to.
struct WineLocation {
  std::vector<std::string> parts;
  std::string drive = "Z:";
  size_t first = 0;
  std::string prefix;  // empty for Z:, the whole system
};

WineLocation Locate(const std::string& nativePath) {
  const std::string absolute = !nativePath.empty() && nativePath[0] == '/' ? nativePath
                                                                             : CurrentFolder() + "/" + nativePath;
  WineLocation where;
  std::vector<std::string>& parts = where.parts;
  size_t pos = 0;
  while (pos <= absolute.size()) {
    size_t next = absolute.find('/', pos);
    if (next == std::string::npos) next = absolute.size();
    std::string part = absolute.substr(pos, next - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = next + 1;
  }

  // The innermost prefix wins: that is the drive the file lies on.
  for (size_t i = parts.size(); i-- > 0;) {
    if (parts[i] == "drive_c" && IsWinePrefix(JoinNative(parts, i))) {
      where.drive = "C:";
      where.first = i + 1;
      where.prefix = JoinNative(parts, i);
      break;
    }
    if (i > 0 && parts[i - 1] == "dosdevices" && IsDriveLetter(parts[i])) {
      where.drive = std::string(1, static_cast<char>(parts[i][0] & ~0x20)) + ":";
      where.first = i + 1;
      where.prefix = JoinNative(parts, i - 1);
      break;
    }
  }
  return where;
}

}  // namespace

std::string WinePathFor(const std::string& nativePath) {
  const bool trailing = !nativePath.empty() && nativePath.back() == '/';
  const WineLocation where = Locate(nativePath);
  std::string out = where.drive + "\\";
  for (size_t i = where.first; i < where.parts.size(); ++i) {
    out += where.parts[i];
    if (i + 1 < where.parts.size() || trailing) out += '\\';
  }
  return out;
}

std::string WinePrefixOf(const std::string& nativePath) { return Locate(nativePath).prefix; }

}  // namespace trilo
