#include "platform/shell_link.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>

#include "formats/shell_link_format.h"
#include "path_map.h"
#include "wine_path.h"
#include "platform/replacing_file.h"

namespace trilo {

namespace {

constexpr long kFailed = static_cast<long>(static_cast<int32_t>(0x80004005u));  // E_FAIL
// The shell takes the file name into 260 UTF-16 characters, zero included.
constexpr size_t kMaxLinkPath = 260;
// 1970-01-01 in 100 ns units since 1601-01-01.
constexpr uint64_t kUnixEpoch = 116444736000000000ull;

uint64_t FileTime(const struct timespec& t) {
  if (t.tv_sec < 0) return 0;
  return kUnixEpoch + static_cast<uint64_t>(t.tv_sec) * 10000000u + static_cast<uint64_t>(t.tv_nsec) / 100u;
}

// The shortcut is opened by Windows programs under Wine, so every path in it
// is the one Wine shows them.
std::string WindowsPath(const std::string& corePath) {
  return corePath.empty() ? corePath : WinePathFor(ToNativePath(corePath));
}

void DescribeTarget(const std::string& target, ShellLinkData& data) {
  struct stat st;
  if (target.empty() || stat(ToNativePath(target).c_str(), &st) != 0) return;
  data.fileAttributes = S_ISDIR(st.st_mode) ? 0x10 : 0x20;  // directory : archive
  data.creationTime = FileTime(st.st_ctim);  // the nearest POSIX keeps
  data.accessTime = FileTime(st.st_atim);
  data.writeTime = FileTime(st.st_mtim);
  data.fileSize = static_cast<uint32_t>(st.st_size);
}

}  // namespace

void InitComponentLibrary() {}

long WriteShellLink(const std::string& target, const std::string& linkPath, const std::string& workingDir,
                    const std::string& arguments, const std::string& iconPath, const std::string& description,
                    const std::function<void(const std::string&)>& report, const std::string& temporary) {
  ShellLinkData data;
  // A value the format cannot hold is refused with its own message and
  // left out, as the shell refuses a property; the rest is still saved.
  auto set = [&](std::u16string& field, const std::string& value, const char* message) {
    std::u16string text = Utf8ToUtf16(value);
    if (text.size() > kMaxShellLinkString) report(message);
    else field.swap(text);
  };
  set(data.targetPath, WindowsPath(target), "SetPath failed!");
  set(data.description, description, "SetDescription failed!");
  set(data.workingDir, WindowsPath(workingDir), "SetWorkingDirectory failed!");
  set(data.arguments, arguments, "SetArguments failed!");
  set(data.iconLocation, WindowsPath(iconPath), "SetIconLocation failed!");
  DescribeTarget(target, data);

  // A name too long for the shell's buffer is a failed save, never a cut one.
  std::string bytes;
  ReplacingFile file;
  const bool saved = Utf8ToUtf16(linkPath).size() < kMaxLinkPath && BuildShellLink(data, bytes) &&
                     (temporary.empty() ? file.Open(linkPath) : file.Open(linkPath, temporary)) &&
                     file.Write(bytes) &&
                     file.Commit();
  if (!saved) {
    report("Save failed!");
    return kFailed;
  }
  return 0;
}

}  // namespace trilo
