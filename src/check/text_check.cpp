// How the bytes of the package's text files are read: a byte order mark,
// UTF-8 in a single-byte code page, lines ended by CR alone.
#include "check_context.h"
#include "formats/game_database.h"
#include "formats/shell_link_format.h"
#include "platform/filesystem.h"
#include "platform/system_info.h"
#include "platform/user_path.h"
#include "text/text_util.h"

namespace trilo {

namespace {

const char kSaveAs[] =
    "save it without a mark, in the players' code page (in Notepad: \"ANSI\")";

// What the start of the file makes of it, by kind of file.
std::string MarkConsequence(TextKind kind) {
  switch (kind) {
    case TextKind::Conf: return "a section header on the first line is not found, and its keys are never read";
    case TextKind::Template: return "the first line's path or comment starts with them";
    default: return "the first section's name starts with them, and the game database does not know it";
  }
}

// A line of valid UTF-8 that is not plain ASCII: the way an editor that
// saves "UTF-8" writes letters such as "ü".
bool IsUtf8Letters(const std::string& line) {
  bool wide = false;
  for (char c : line) wide = wide || static_cast<unsigned char>(c) >= 0x80;
  if (!wide) return false;
  for (char16_t c : Utf8ToUtf16(line))
    if (c == u'\uFFFD') return false;
  return true;
}

}  // namespace

bool PackageChecker::CheckByteOrderMark(const std::string& file, const std::string& bytes, TextKind kind) {
  if (bytes.compare(0, 3, kUtf8Mark) == 0) {
    Error(file, 1, "the file starts with a UTF-8 byte order mark (EF BB BF), which Windows reads as three characters "
                   "of the first line: " + MarkConsequence(kind) + "; " + kSaveAs);
    return true;
  }
  if (bytes.compare(0, 2, "\xFE\xFF") == 0) {
    Error(file, 1, std::string("the file is UTF-16 big-endian (it starts with FE FF), which Windows cannot read: ") +
                       (kind == TextKind::Conf ? "every key takes its default" : "no line of it reads as written") +
                       "; " + kSaveAs);
    return true;
  }
  if (bytes.compare(0, 2, "\xFF\xFE") != 0) return false;
  if (kind == TextKind::Conf) {
    report_.Note(file + " is UTF-16 (\"Unicode\"): the installer reads it as Windows does, in code page " +
                 std::to_string(ActiveCodePage().Id()));
    return true;
  }
  Error(file, 1, std::string("the file is UTF-16 (\"Unicode\", it starts with FF FE), which the installer reads byte "
                             "by byte: no line of it reads as written; ") + kSaveAs);
  return true;
}

bool PackageChecker::CheckFileText(const std::string& file, const std::string& bytes, TextKind kind) {
  const bool utf8Mark = bytes.compare(0, 3, kUtf8Mark) == 0;
  // A UTF-16 file has said all there is to say about it.
  if (CheckByteOrderMark(file, bytes, kind) && !utf8Mark) return false;
  int number = 1, utf8Line = 0, loneCrLine = 0;
  std::string utf8Text;
  for (size_t pos = utf8Mark ? 3 : 0; pos < bytes.size();) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!loneCrLine && line.find('\r') != std::string::npos) loneCrLine = number;
    if (!utf8Line && IsUtf8Letters(line)) {
      utf8Line = number;
      utf8Text = line.substr(0, line.find('\r'));
    }
    pos = end + 1;
    ++number;
  }
  const CodePage cp = ActiveCodePage();
  if (utf8Line && !cp.HasLeadBytes() && cp.Id() != kUtf8CodePage)
    Warning(file, utf8Line, "the text is UTF-8, but the players' code page " + std::to_string(cp.Id()) +
                                " shows it as `" + TextForUser(utf8Text) + "`; save the file in code page " +
                                std::to_string(cp.Id()) + " (in Notepad: \"ANSI\")");
  if (!loneCrLine) return true;
  if (kind == TextKind::Conf)
    Warning(file, loneCrLine, "lines end in CR alone: Windows reads them, but most tools see one line; save the file "
                              "with CR LF line ends");
  else
    Error(file, loneCrLine, "lines end in CR alone: the installer ends a line only at LF, so it reads them as one "
                            "line; save the file with CR LF line ends");
  return true;
}

namespace {

// The name of the item that begins on `line` when it is a block of its own:
// only its name stands between there and its "{". Empty otherwise.
std::string BlockNameAt(const std::string& bytes, int line) {
  size_t pos = 0;
  for (int n = 1; n < line && pos != std::string::npos; ++n) {
    pos = bytes.find('\n', pos);
    if (pos != std::string::npos) ++pos;
  }
  const size_t brace = pos == std::string::npos ? pos : bytes.find('{', pos);
  if (brace == std::string::npos) return std::string();
  const std::string head = bytes.substr(pos, brace - pos);
  return head.find_first_of("=}") == std::string::npos ? Trim(head) : std::string();
}

}  // namespace

void PackageChecker::UnclosedBlock(const std::string& file, const std::pair<std::string, int>& section, int itemLine,
                                   const std::vector<std::pair<std::string, int>>& entries, const std::string& stops) {
  const std::string opened = "the file ends inside `" + section.first + "`, opened at line " +
                             std::to_string(section.second);
  std::string bytes;
  ReadWholeFile(file, bytes);
  const std::string item = itemLine > section.second ? BlockNameAt(bytes, itemLine) : std::string();
  if (!item.empty()) {
    Error(file, itemLine, opened + ": its entry `" + item + "` at line " + std::to_string(itemLine) +
                              " has no \"}\"" + stops);
    return;
  }
  // A "}" missing in a circuit's entry makes the section's own "}" close
  // that entry, and the sections that follow are read as circuits.
  std::vector<std::pair<std::string, int>> inside;
  for (const auto& entry : entries)
    if (entry.second > section.second) inside.push_back(entry);
  for (size_t i = 1; i < inside.size(); ++i) {
    for (const char* known : kGdbSectionNames) {
      if (inside[i].first != known) continue;
      Error(file, inside[i - 1].second, opened + ": its entry `" + inside[i - 1].first + "` at line " +
                                            std::to_string(inside[i - 1].second) + " has no \"}\" of its own, so `" +
                                            known + "` at line " + std::to_string(inside[i].second) +
                                            " and what follows were read as its entries" + stops);
      return;
    }
  }
  if (!inside.empty())
    Error(file, inside.back().second, opened + ": its last entry is `" + inside.back().first + "` at line " +
                                          std::to_string(inside.back().second) + stops);
  else
    Error(file, section.second, opened + stops);
}

}  // namespace trilo
