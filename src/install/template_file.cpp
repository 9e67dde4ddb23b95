#include "install/template_file.h"

#include <cerrno>

#include "platform/filesystem.h"
#include "platform/system_info.h"
#include "text/code_page.h"
#include "text/text_util.h"

namespace trilo {

namespace {

// The entry a line holds, if any, without copying what is not one.
bool EntryOf(const std::string& text, size_t begin, size_t end, std::string* entry) {
  while (begin < end && IsWhite(text[begin])) ++begin;
  while (end > begin && IsWhite(text[end - 1])) --end;
  if (begin == end || text[begin] == '#') return false;
  if (entry) entry->assign(text, begin, end - begin);
  return true;
}

// Where the line starting at `pos` ends (its LF, or the end of the text).
size_t LineEnd(const std::string& text, size_t pos) {
  const size_t lf = text.find('\n', pos);
  return lf == std::string::npos ? text.size() : lf;
}

}  // namespace

Status TemplateFile::Read(const std::string& version, const char* plainName) {
  pos_ = 0;
  line_ = 0;
  text_.clear();
  std::string name;
  if (!FormTemplateName(version, plainName, name))
    return Status::Failure(version + "." + plainName, ENAMETOOLONG, 206, "the name is longer than 255 characters",
                           Status::Phase::Open);
  return ReadWholeFile(name, text_);
}

size_t TemplateFile::Count() const {
  size_t count = 0;
  for (size_t pos = 0; pos < text_.size();) {
    const size_t end = LineEnd(text_, pos);
    if (EntryOf(text_, pos, end, nullptr)) ++count;
    pos = end + 1;
  }
  return count;
}

bool TemplateFile::Next(std::string& entry, int* line) {
  while (pos_ < text_.size()) {
    const size_t end = LineEnd(text_, pos_);
    const bool found = EntryOf(text_, pos_, end, &entry);
    pos_ = end + 1;
    ++line_;
    if (found) {
      if (line) *line = line_;
      return true;
    }
  }
  return false;
}

Status ReadTemplateLines(const std::string& version, const char* plainName, std::vector<TemplateLine>& lines) {
  lines.clear();
  TemplateFile file;
  const Status read = file.Read(version, plainName);
  TemplateLine line;
  while (read && file.Next(line.text, &line.number)) lines.push_back(line);
  return read;
}

Status ReadTemplateEntries(const std::string& version, const char* plainName, std::vector<std::string>& entries) {
  entries.clear();
  TemplateFile file;
  const Status read = file.Read(version, plainName);
  std::string entry;
  while (read && file.Next(entry)) entries.push_back(entry);
  return read;
}

bool SplitCopyEntry(const std::string& entry, std::string& destination, std::string& source) {
  const size_t eq = FindChar(entry, '=', ActiveCodePage());
  if (eq == std::string::npos) return false;
  destination = TrimRight(entry.substr(0, eq));
  source = TrimLeft(entry.substr(eq + 1));
  return true;
}

}  // namespace trilo
