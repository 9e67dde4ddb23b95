#pragma once
#include <deque>
#include <string>
#include <vector>

#include "install/interaction.h"
#include "platform/status.h"

namespace trilo {
namespace test {

/// A fresh folder under the system's temporary folder, removed with
/// everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// The folder as the core speaks it, ending in "\".
  const std::string& Path() const { return path_; }
  /// Path() joined with a relative name written with "\" separators.
  std::string operator/(const std::string& relative) const { return path_ + relative; }

 private:
  std::string path_;
  std::string native_;
};

/// A core path as the system writes it, for std::filesystem and other
/// programs: on POSIX converted from the code page to UTF-8 with "/" (as the
/// platform writes names), on Windows the path itself.
std::string SystemPath(const std::string& corePath);
/// A path the system gave (a temporary or build folder) as the core speaks it.
std::string CorePath(const std::string& systemPath);

/// The reasons of failures, in order: what a list of them says.
inline std::vector<std::string> Reasons(const std::vector<Status>& failures) {
  std::vector<std::string> reasons;
  for (const Status& failure : failures) reasons.push_back(failure.Reason());
  return reasons;
}

/// Whole-file helpers on core paths, binary mode.
/// The path the copy step names for a copy whose source is missing: Windows'
/// copy does not say which side failed, and its failure names the destination.
inline std::string MissingSourceNamed(const std::string& source, const std::string& destination) {
#ifdef _WIN32
  (void)source;
  return destination;
#else
  (void)destination;
  return source;
#endif
}

/// The copy step's closing message with each failed file's reason (the
/// system's own words, which differ between systems) said as "<reason>",
/// or "<none>" where the line has none.
inline std::string WithoutReasons(const std::string& message) {
  std::string out;
  size_t start = 0;
  while (start <= message.size()) {
    size_t end = message.find('\n', start);
    if (end == std::string::npos) end = message.size();
    std::string line = message.substr(start, end - start);
    const size_t colon = line.find(": ");
    if (line.compare(0, 2, "  ") == 0 && colon != std::string::npos)
      line = line.substr(0, colon) + (colon + 2 < line.size() ? ": <reason>" : ": <none>");
    out += (start ? "\n" : "") + line;
    start = end + 1;
  }
  return out;
}

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
bool IsFolder(const std::string& path);
void MakeFolder(const std::string& path);
void RemoveFile(const std::string& path);
/// The names in a folder given as a core path, sorted, in UTF-8: as the
/// system holds them on POSIX and as Unicode holds them on Windows.
std::vector<std::string> ListFolder(const std::string& path);

/// Makes a folder current for the life of the object.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::string& path);
  ~ScopedCurrentFolder();

 private:
  std::string saved_;
};

/// Answers the installer's questions from queues and records everything the
/// user would have been shown, in order.
class ScriptedInteraction : public Interaction {
 public:
  struct LocateAnswer {
    bool ok;
    std::string path;  ///< used on OK; empty means "accept the proposal"
    bool acceptProposal;
  };

  void ShowMessage(const std::string& text) override;
  void ShowNotice(Notice notice) override;
  bool LocateFile(LocateRequest& request) override;
  bool ChooseVersion(const std::vector<std::string>& versions, std::string& chosen) override;
  void ShowSplash(const std::string& imagePath, int delayMs) override;
  bool AskYesNo(const std::string& question, const std::string& details) override;

  // Script.
  void AcceptProposal() { locate.push_back({true, "", true}); }
  void Answer(const std::string& path) { locate.push_back({true, path, false}); }
  void CancelLocate() { locate.push_back({false, "", false}); }
  void ChooseVersionAnswer(bool ok, const std::string& version) { versions.push_back({ok, version}); }

  std::deque<LocateAnswer> locate;
  std::deque<std::pair<bool, std::string>> versions;
  std::deque<bool> yesNo;

  // Record.
  std::vector<std::string> messages;
  std::vector<Notice> notices;
  std::vector<LocateRequest> locateRequests;
  std::vector<std::vector<std::string>> versionRequests;
  std::vector<std::pair<std::string, int>> splashes;
  std::vector<std::string> questions;
  /// Every call in order, e.g. "message:Error opening file template".
  std::vector<std::string> log;
};

/// Records every call of the file copy step.
class RecordingProgress : public InstallProgress {
 public:
  void SetRange(int count) override;
  void ShowSource(const std::string& text) override;
  void ShowDestination(const std::string& text) override;
  void Step() override;
  void PumpMessages() override;
  void ClearTexts() override;

  std::vector<std::string> calls;  ///< "range:3", "source:a", "dest:b", "step", "pump", "clear"
  int range = -1;
  int position = 0;
  std::string source, destination;
};

/// A path in examples/ of the source tree, as the core speaks it.
std::string Example(const std::string& relative);

}  // namespace test
}  // namespace trilo
