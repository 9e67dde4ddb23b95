#include "platform/shell_link.h"

#include <errno.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>

#include "code_page_text.h"
#include "formats/shell_link_format.h"
#include "path_map.h"
#include "wine_path.h"
#include "platform/replacing_file.h"

namespace trilo {

namespace {

// The shell takes the file name into 260 UTF-16 characters, zero included.
constexpr size_t kMaxLinkPath = 260;
// 1970-01-01 in 100 ns units since 1601-01-01.
constexpr uint64_t kUnixEpoch = 116444736000000000ull;

uint64_t FileTime(const struct timespec& t) {
  if (t.tv_sec < 0) return 0;
  return kUnixEpoch + static_cast<uint64_t>(t.tv_sec) * 10000000u + static_cast<uint64_t>(t.tv_nsec) / 100u;
}

// The shortcut is opened by Windows programs under Wine, so every path in it
// is the one Wine shows them. False for a path that is no text in the code page.
bool WindowsPath(const std::string& corePath, std::u16string& path) {
  path.clear();
  std::string native;
  if (corePath.empty()) return true;
  if (!ToNativePath(corePath, native)) return false;
  path = Utf8ToUtf16(WinePathFor(native));
  return true;
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

Status WriteShellLink(const std::string& target, const std::string& linkPath, const std::string& workingDir,
                      const std::string& arguments, const std::string& iconPath, const std::string& description,
                      std::vector<std::string>& unset, const std::string& temporary) {
  ShellLinkData data;
  // A value the format cannot hold, or text that is no text in the code
  // page, is refused with its own message and left out, as the shell
  // refuses a property; the rest is still saved.
  auto set = [&](std::u16string& field, bool converted, std::u16string& text, const char* message) {
    if (!converted || text.size() > kMaxShellLinkString) unset.push_back(message);
    else field.swap(text);
  };
  std::u16string text;
  set(data.targetPath, WindowsPath(target, text), text, "SetPath failed!");
  set(data.description, CodePageToUtf16(description, text), text, "SetDescription failed!");
  set(data.workingDir, WindowsPath(workingDir, text), text, "SetWorkingDirectory failed!");
  set(data.arguments, CodePageToUtf16(arguments, text), text, "SetArguments failed!");
  set(data.iconLocation, WindowsPath(iconPath, text), text, "SetIconLocation failed!");
  DescribeTarget(target, data);

  // A name too long for the shell's buffer is a failed save, never a cut one.
  std::string bytes;
  std::u16string wideLinkPath;
  if (!CodePageToUtf16(linkPath, wideLinkPath)) return SystemError(linkPath, EILSEQ, Status::Phase::Create);
  if (wideLinkPath.size() >= kMaxLinkPath) return SystemError(linkPath, ENAMETOOLONG, Status::Phase::Create);
  if (!BuildShellLink(data, bytes)) return SystemError(linkPath, EINVAL, Status::Phase::Write);
  ReplacingFile file;
  Status saved = file.Open(linkPath, temporary);
  if (saved) saved = file.Write(bytes);
  if (saved) saved = file.Commit();
  return saved;
}

}  // namespace trilo
