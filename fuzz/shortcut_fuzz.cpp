// Builds shortcuts from arbitrary text and reads them back with a reader of
// the format written apart from the writer (lnk_reader.h). The input's
// lines are the target, the description, the working folder, the arguments
// and the icon, as UTF-8 of any quality. Each shortcut is built in memory
// and, through the platform's writer, as a file in a folder of its own.
// Beyond crashes, hangs and sanitizer reports it checks that what is read
// back is what was given (the target as far as its first zero character,
// which ends it in the link info), that nothing is written after the
// terminal block, and that writing the file leaves nothing else behind.
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/shell_link_format.h"
#include "fuzz_support.h"
#include "lnk_reader.h"
#include "platform/shell_link.h"

namespace {

using trilo::fuzz::Check;

const char kTarget[] = "shortcut_fuzz";

std::vector<std::string> Lines(const std::string& text, size_t count) {
  std::vector<std::string> lines(count);
  size_t pos = 0;
  for (size_t i = 0; i < count && pos <= text.size(); ++i) {
    size_t end = i + 1 == count ? text.size() : text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    lines[i] = text.substr(pos, end - pos);
    pos = end + 1;
  }
  return lines;
}

std::string AsciiOrQuestionMarks(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
    closedir(dir);
  }
  return names;
}

std::string ReadWhole(const std::string& path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
  }
  return bytes;
}

void CheckInMemory(const std::vector<std::string>& field, size_t size) {
  trilo::ShellLinkData data;
  data.targetPath = trilo::Utf8ToUtf16(field[0]);
  data.description = trilo::Utf8ToUtf16(field[1]);
  data.workingDir = trilo::Utf8ToUtf16(field[2]);
  data.arguments = trilo::Utf8ToUtf16(field[3]);
  data.iconLocation = trilo::Utf8ToUtf16(field[4]);
  data.iconIndex = static_cast<int32_t>(size * 7) - 3;
  data.fileAttributes = static_cast<uint32_t>(size);
  data.writeTime = 0x0123456789ABCDEFull ^ size;
  data.fileSize = static_cast<uint32_t>(size * 13);

  std::string bytes;
  Check(trilo::BuildShellLink(data, bytes), kTarget, "a shortcut of short strings was not built");
  trilo::fuzz::LnkFile read;
  Check(trilo::fuzz::LnkReader(bytes).Read(read), kTarget, "the shortcut does not read back");
  Check(read.end == bytes.size(), kTarget, "bytes after the terminal block");
  Check((read.flags & 0x80) != 0, kTarget, "strings not marked as UTF-16");
  Check(read.iconIndex == data.iconIndex && read.fileAttributes == data.fileAttributes &&
            read.writeTime == data.writeTime && read.fileSize == data.fileSize,
        kTarget, "a header field reads back otherwise");

  const std::u16string target = data.targetPath.substr(0, data.targetPath.find(u'\0'));
  Check(read.hasLocalPath == !data.targetPath.empty(), kTarget, "the target's presence reads back otherwise");
  if (read.hasLocalPath) {
    Check(read.localPath == AsciiOrQuestionMarks(target), kTarget, "the 8-bit target reads back otherwise");
    if (read.hasUnicodePath) Check(read.unicodePath == target, kTarget, "the UTF-16 target reads back otherwise");
    else Check(AsciiOrQuestionMarks(target) == std::string(target.begin(), target.end()), kTarget,
               "a target beyond ASCII without its UTF-16 copy");
  }
  const std::u16string* given[] = {&data.description, &data.workingDir, &data.arguments, &data.iconLocation};
  const std::u16string* back[] = {&read.name, &read.workingDir, &read.arguments, &read.iconLocation};
  const uint32_t flags[] = {0x04, 0x10, 0x20, 0x40};
  for (int i = 0; i < 4; ++i) {
    Check(((read.flags & flags[i]) != 0) == !given[i]->empty(), kTarget, "a string's presence reads back otherwise");
    Check(*back[i] == *given[i], kTarget, "a string reads back otherwise");
  }
  Check(!(read.flags & 0x08) && read.relativePath.empty(), kTarget, "a relative path nobody gave");
}

// Written through the platform, strings are text of the active code page,
// where some bytes are no text at all (and refused, as Windows refuses
// them); in ASCII they must always save. Any byte reaches the format above.
void CheckFile(std::vector<std::string> field) {
  for (std::string& text : field)
    for (char& c : text) c = static_cast<char>(c & 0x7F);
  const std::string& folder = trilo::fuzz::PrivateFolder();
  const std::string link = folder + "fuzz.lnk";
  std::vector<std::string> reports;
  const trilo::Status saved = trilo::WriteShellLink(field[0], link, field[2], field[3], field[4], field[1], reports);
  Check(saved.Ok() && reports.empty(), kTarget, "a shortcut of short strings was not saved");
  Check(FolderNames(folder) == std::vector<std::string>{"fuzz.lnk"}, kTarget, "the writer left a file behind");
  const std::string bytes = ReadWhole(link);
  trilo::fuzz::LnkFile read;
  Check(trilo::fuzz::LnkReader(bytes).Read(read), kTarget, "the saved shortcut does not read back");
  Check(read.end == bytes.size(), kTarget, "bytes after the saved terminal block");
  // The paths become the ones Wine shows; what is not a path stays as given.
  Check(read.name == trilo::Utf8ToUtf16(field[1]) && read.arguments == trilo::Utf8ToUtf16(field[3]), kTarget,
        "a saved string reads back otherwise");
  Check(read.hasLocalPath == !field[0].empty() && read.workingDir.empty() == field[2].empty() &&
            read.iconLocation.empty() == field[4].empty(),
        kTarget, "a saved path's presence reads back otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> field = Lines(std::string(reinterpret_cast<const char*>(data), size), 5);
  CheckInMemory(field, size);
  CheckFile(field);
  return 0;
}
