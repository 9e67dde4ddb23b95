#include <climits>
#include <cstdio>
#include <string>

#include "app/installer_app.h"
#include "platform/file_ops.h"
#include "platform/filesystem.h"
#include "text/code_page.h"
#include "text/line_reader.h"
#include "text/text_util.h"

namespace trilo {

namespace {

const char kOpenError[] = "Error opening file template";
const char kLogFile[] = "log.txt";

bool IsEntryOrMalformed(const std::string& trimmed) { return !trimmed.empty() && trimmed[0] != '#'; }

// Lines that are not blank or comments, malformed ones included; -1 when the
// template cannot be read to its end.
int CountEntries(std::FILE* file) {
  LineReader reader(file);
  std::string line;
  int count = 0;
  while (reader.Next(line) && !reader.Failed())
    if (IsEntryOrMalformed(Trim(line)) && count < INT_MAX) ++count;
  return reader.Failed() ? -1 : count;
}

std::string LogLine(const std::string& source, const std::string& destination, int errnoValue,
                    unsigned long lastError) {
  return "Couldn't copy: " + source + " => " + destination + ", errno=" + std::to_string(errnoValue) +
         ", last error=" + std::to_string(lastError);
}

}  // namespace

bool InstallerApp::CopyTemplateFiles(InstallProgress& progress) {
  EnterWorkingDir();
  std::string name;
  // A version name too long for the template name is refused, not cut.
  if (!FormTemplateName(State.SelectedVersion, "files.txt", name)) {
    UI.ShowMessage(kOpenError);
    return false;
  }

  // First pass: the number of entries sets the progress range.
  std::FILE* file = OpenFile(name, "rb");
  if (!file) {
    UI.ShowMessage(kOpenError);
    return false;
  }
  const int count = CountEntries(file);
  std::fclose(file);
  if (count < 0) {
    UI.ShowMessage(kOpenError);
    return false;
  }

  file = OpenFile(name, "rb");
  if (!file) {
    UI.ShowMessage(kOpenError);
    return false;
  }
  progress.SetRange(count);

  const CodePage cp = ActiveCodePage();
  bool logLost = false;
  LineReader reader(file);
  std::string line;
  while (reader.Next(line) && !reader.Failed()) {
    const std::string trimmed = Trim(line);
    if (!IsEntryOrMalformed(trimmed)) continue;
    const size_t eq = FindChar(trimmed, '=', cp);
    if (eq == std::string::npos) {
      std::fclose(file);
      UI.ShowMessage("Malformed file copy string");
      return false;
    }
    std::string destination = TrimRight(trimmed.substr(0, eq));
    std::string source = TrimLeft(trimmed.substr(eq + 1));
    ExpandPathVariables(source);
    ExpandPathVariables(destination);
    progress.ShowSource(source);
    progress.ShowDestination(destination);

    // A placeholder left unexpanded names no real place: no copy is tried,
    // and the log says so with two zeros.
    CopyOutcome outcome;
    if (FindText(source, "${", cp) == std::string::npos && FindText(destination, "${", cp) == std::string::npos)
      outcome = CopyFileReplacing(source, destination);
    if (!outcome.ok &&
        !AppendLine(kLogFile, LogLine(source, destination, outcome.errnoValue, outcome.lastError)))
      logLost = true;

    progress.Step();
    progress.PumpMessages();
  }
  std::fclose(file);
  if (reader.Failed()) {
    // Cut short while reading: the template is as unreadable as a missing one.
    UI.ShowMessage(kOpenError);
    return false;
  }
  progress.ClearTexts();
  if (logLost) UI.ShowMessage("Some files could not be copied, and log.txt could not be written");
  return true;
}

}  // namespace trilo
