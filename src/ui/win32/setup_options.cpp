#include "setup_options.h"

#include "formats/command_line.h"
#include "text/text_util.h"

namespace trilo {
namespace win32 {

namespace {

const char kUndo[] = "/undo";
const char kElevated[] = "/elevated";
const char kGameExe[] = "/game-exe=";
const char kConfig[] = "/config=";
const char kPlayer[] = "/player=";
const char kVersion[] = "/version=";
const char kVirtualStore[] = "/virtualstore=";

// The value of `word` when it starts with `name`, in any case.
bool TakeValue(const std::string& word, const std::string& name, std::string& value) {
  if (word.size() < name.size() || !EqualsIgnoreCase(word.substr(0, name.size()), name)) return false;
  value = word.substr(name.size());
  return true;
}

}  // namespace

SetupOptions ParseSetupOptions(const std::vector<std::string>& words) {
  SetupOptions o;
  for (const std::string& word : words) {
    if (EqualsIgnoreCase(word, kUndo)) o.undo = true;
    else if (EqualsIgnoreCase(word, kElevated)) o.elevated = true;
    else if (TakeValue(word, kGameExe, o.fields.gameExe)) o.answered = true;
    else if (TakeValue(word, kConfig, o.fields.gameConfig) || TakeValue(word, kPlayer, o.fields.templatePlayer) ||
             TakeValue(word, kVersion, o.version) || TakeValue(word, kVirtualStore, o.virtualStore)) {
    }
  }
  return o;
}

std::string ElevatedArguments(const SetupOptions& answers) {
  std::string line = kElevated;
  if (!answers.virtualStore.empty()) line += " " + QuoteArgument(kVirtualStore + answers.virtualStore);
  if (answers.undo) return line + " " + kUndo;
  line += " " + QuoteArgument(kGameExe + answers.fields.gameExe);
  line += " " + QuoteArgument(kConfig + answers.fields.gameConfig);
  line += " " + QuoteArgument(kPlayer + answers.fields.templatePlayer);
  line += " " + QuoteArgument(kVersion + answers.version);
  return line;
}

}  // namespace win32
}  // namespace trilo
