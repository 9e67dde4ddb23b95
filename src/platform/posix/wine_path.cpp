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

}  // namespace

std::string WinePathFor(const std::string& nativePath) {
  const std::string absolute = !nativePath.empty() && nativePath[0] == '/' ? nativePath
                                                                             : CurrentFolder() + "/" + nativePath;
  const bool trailing = !nativePath.empty() && nativePath.back() == '/';

  std::vector<std::string> parts;
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
  std::string drive = "Z:";
  size_t first = 0;
  for (size_t i = parts.size(); i-- > 0;) {
    if (parts[i] == "drive_c" && IsWinePrefix(JoinNative(parts, i))) {
      drive = "C:";
      first = i + 1;
      break;
    }
    if (i > 0 && parts[i - 1] == "dosdevices" && IsDriveLetter(parts[i])) {
      drive = std::string(1, static_cast<char>(parts[i][0] & ~0x20)) + ":";
      first = i + 1;
      break;
    }
  }

  std::string out = drive + "\\";
  for (size_t i = first; i < parts.size(); ++i) {
    out += parts[i];
    if (i + 1 < parts.size() || trailing) out += '\\';
  }
  return out;
}

}  // namespace trilo
