#include <algorithm>
#include <climits>
#include <string>

#include "install/install_record.h"
#include "install/installer_app.h"
#include "install/template_file.h"
#include "platform/file_ops.h"

namespace trilo {

namespace {

const char kOpenError[] = "Error opening file template";
const char kLogFile[] = "log.txt";

std::string LogLine(const std::string& source, const std::string& destination, const Status& copied) {
  return "Couldn't copy: " + source + " => " + destination + ", errno=" + std::to_string(copied.Errno()) +
         ", last error=" + std::to_string(copied.WindowsCode());
}

// What a copy that was not tried says: the log's two zeros.
const Status kNotTried = Status::Failure("", 0, 0, "");

}  // namespace

bool InstallerApp::CopyTemplateFiles(InstallProgress& progress) {
  EnterWorkingDir();
  // The number of entries, malformed ones included, sets the progress range.
  TemplateFile entries;
  if (!entries.Read(State.SelectedVersion, "files.txt")) {
    UI.ShowMessage(kOpenError);
    return false;
  }
  const size_t total = entries.Count();
  progress.SetRange(static_cast<int>(std::min<size_t>(total, INT_MAX)));

  size_t failed = 0;
  bool logLost = false;
  std::string entry, destination, source;
  while (entries.Next(entry)) {
    if (!SplitCopyEntry(entry, destination, source)) {
      UI.ShowMessage("Malformed file copy string");
      return false;
    }
    ExpandPathVariables(source);
    ExpandPathVariables(destination);
    progress.ShowSource(source);
    progress.ShowDestination(destination);

    // A placeholder left unexpanded names no real place: no copy is tried,
    // and the log says so with two zeros.
    Status copied = kNotTried;
    if (!HasUnexpandedPlaceholder(source) && !HasUnexpandedPlaceholder(destination))
      copied = RecordedCopy(source, destination);
    if (copied.IsRecordFailure()) return ShowRecordFailure(copied);
    if (!copied) {
      ++failed;
      if (!AppendLine(kLogFile, LogLine(source, destination, copied))) logLost = true;
    }

    progress.Step();
    progress.PumpMessages();
  }
  progress.ClearTexts();
  // The step goes on past a failed copy, but an install that lacks files
  // must not pass for a whole one.
  if (failed) PartlyInstalled = true;
  if (logLost)
    UI.ShowMessage("Some files could not be copied, and log.txt could not be written");
  else if (failed)
    UI.ShowMessage(std::to_string(failed) + " of " + std::to_string(total) +
                   " files could not be copied. They are listed in log.txt.");
  return true;
}

}  // namespace trilo
