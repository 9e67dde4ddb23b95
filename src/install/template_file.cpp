#include "install/template_file.h"

#include "platform/filesystem.h"
#include "text/line_reader.h"
#include "text/text_util.h"

namespace trilo {

bool ReadTemplateEntries(const std::string& version, const char* plainName, std::vector<std::string>& entries) {
  entries.clear();
  std::string name, text;
  if (!FormTemplateName(version, plainName, name) || ReadWholeFile(name, text) != FileRead::Done) return false;
  StringLineReader reader(text);
  std::string line;
  while (reader.Next(line)) {
    std::string entry = Trim(line);
    if (!entry.empty() && entry[0] != '#') entries.push_back(std::move(entry));
  }
  return true;
}

}  // namespace trilo
