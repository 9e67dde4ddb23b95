#include "install/template_file.h"

#include "platform/filesystem.h"
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

bool TemplateFile::Read(const std::string& version, const char* plainName) {
  pos_ = 0;
  std::string name;
  return FormTemplateName(version, plainName, name) && ReadWholeFile(name, text_) == FileRead::Done;
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

bool TemplateFile::Next(std::string& entry) {
  while (pos_ < text_.size()) {
    const size_t end = LineEnd(text_, pos_);
    const bool found = EntryOf(text_, pos_, end, &entry);
    pos_ = end + 1;
    if (found) return true;
  }
  return false;
}

bool ReadTemplateEntries(const std::string& version, const char* plainName, std::vector<std::string>& entries) {
  entries.clear();
  TemplateFile file;
  if (!file.Read(version, plainName)) return false;
  std::string entry;
  while (file.Next(entry)) entries.push_back(entry);
  return true;
}

}  // namespace trilo
