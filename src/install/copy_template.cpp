#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

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

// The failed copies the closing message names; the rest are in the log.
const size_t kNamedFailures = 5;

// "N of M files could not be copied:", a line for each of the first five
// (the path and the system's reason), and where the others are.
std::string FailedCopiesMessage(const std::vector<std::pair<std::string, std::string>>& named, size_t failed,
                                size_t total, bool logLost) {
  std::string text = std::to_string(failed) + " of " + std::to_string(total) + " files could not be copied:";
  for (const auto& failure : named) text += "\n  " + failure.first + ": " + failure.second;
  const size_t more = failed - named.size();
  if (logLost) text += more ? "\nand " + std::to_string(more) + " more; log.txt could not be written."
                            : "\nlog.txt could not be written.";
  else text += more ? "\nand " + std::to_string(more) + " more in log.txt." : "\nThey are listed in log.txt.";
  return text;
}

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
  std::vector<std::pair<std::string, std::string>> named;
  // A stop asked for ends the step between two copies; the one it came
  // during was taken back, and is not counted.
  auto stopped = [&] {
    if (StopAsked()) progress.ClearTexts();
    return CutShort;
  };
  std::string entry, destination, source;
  while (entries.Next(entry)) {
    if (stopped()) return false;
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
    if (stopped()) return false;
    if (!copied) {
      ++failed;
      progress.CountFailure();
      // A copy not tried names no path and has no reason of the system's.
      if (named.size() < kNamedFailures)
        named.emplace_back(!copied.Path().empty()                 ? copied.Path()
                           : HasUnexpandedPlaceholder(destination) ? destination
                                                                   : source,
                           copied.Reason().empty() ? "its path names a folder that is not known" : copied.Reason());
      if (!AppendLine(kLogFile, LogLine(source, destination, copied))) logLost = true;
    }

    progress.Step();
    progress.PumpMessages();
  }
  progress.ClearTexts();
  // The step goes on past a failed copy, but an install that lacks files
  // must not pass for a whole one.
  if (failed) PartlyInstalled = true;
  if (failed) UI.ShowMessage(FailedCopiesMessage(named, failed, total, logLost));
  return true;
}

}  // namespace trilo
