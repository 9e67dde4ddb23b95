#include "install/template_file.h"

#include "platform/filesystem.h"
#include "platform/system_info.h"
#include "text/code_page.h"
#include "text/line_reader.h"
#include "text/text_util.h"

namespace trilo {

TemplateRead ReadTemplateLines(const std::string& version, const char* plainName, std::vector<TemplateLine>& lines) {
  lines.clear();
  std::string name, text;
  if (!FormTemplateName(version, plainName, name)) return TemplateRead::NameTooLong;
  if (ReadWholeFile(name, text) != FileRead::Done) return TemplateRead::Unreadable;
  StringLineReader reader(text);
  std::string line;
  for (int number = 1; reader.Next(line); ++number) {
    std::string entry = Trim(line);
    if (!entry.empty() && entry[0] != '#') lines.push_back({std::move(entry), number});
  }
  return TemplateRead::Done;
}

bool ReadTemplateEntries(const std::string& version, const char* plainName, std::vector<std::string>& entries) {
  entries.clear();
  std::vector<TemplateLine> lines;
  if (ReadTemplateLines(version, plainName, lines) != TemplateRead::Done) return false;
  for (TemplateLine& line : lines) entries.push_back(std::move(line.text));
  return true;
}

bool SplitCopyEntry(const std::string& entry, std::string& destination, std::string& source) {
  const size_t eq = FindChar(entry, '=', ActiveCodePage());
  if (eq == std::string::npos) return false;
  destination = TrimRight(entry.substr(0, eq));
  source = TrimLeft(entry.substr(eq + 1));
  return true;
}

}  // namespace trilo
