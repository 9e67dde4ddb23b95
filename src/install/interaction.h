#pragma once
#include <string>
#include <vector>

namespace trilo {

/// The notices of the installer, each a small dialog of its own on Windows.
enum class Notice { Complete, Cancelled, OptionsError, Failed, UndoComplete, UndoFailed, UndoCancelled,
                    UndoIncomplete };

/// The fixed texts of the notices.
const char* NoticeText(Notice notice);

/// Which of the game's files a Locate File question is about.
enum class LocateKind { GameExe, GameConfig, TemplatePlayer };

/// What one Locate File question shows and proposes.
struct LocateRequest {
  std::string path;         ///< proposed path, and the answer on OK
  std::string prompt;       ///< the question
  std::string filter;       ///< "desc|pattern|...||"
  std::string defaultName;  ///< initial file name for browsing
  LocateKind kind = LocateKind::GameExe;
  /// Files found that the answer may well be (the template player's
  /// question lists the game's player files). The dialog starts empty all
  /// the same; the terminal lists them and proposes the first.
  std::vector<std::string> choices;
};

/// Everything the core needs from the person in front of the installer.
class Interaction {
 public:
  virtual ~Interaction() = default;
  /// A modal message box with one OK button; returns when it was closed.
  virtual void ShowMessage(const std::string& text) = 0;
  /// One of the fixed notices, shown modally.
  virtual void ShowNotice(Notice notice) = 0;
  /// The Locate File dialog. True on OK, with `request.path` the answer;
  /// false on Cancel, with `request.path` left as it was.
  virtual bool LocateFile(LocateRequest& request) = 0;
  /// The version choice. True on OK, with `chosen` the answer.
  virtual bool ChooseVersion(const std::vector<std::string>& versions, std::string& chosen) = 0;
  /// The splash image, shown for `delayMs` milliseconds.
  virtual void ShowSplash(const std::string& imagePath, int delayMs) = 0;
  /// A question answered Yes (true) or No. `details` is what a terminal
  /// shows before it; a message box shows the question alone. Both come
  /// made for showing (TextForUser, PathForUser).
  virtual bool AskYesNo(const std::string& question, const std::string& details) = 0;
};

/// Keeps the installer's messages instead of showing them and answers no
/// question: for work that runs the installer's steps without a person
/// (the package checker, the fuzz targets, the benchmarks).
class SilentInteraction : public Interaction {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowNotice(Notice) override {}
  bool LocateFile(LocateRequest&) override { return false; }
  bool ChooseVersion(const std::vector<std::string>&, std::string&) override { return false; }
  void ShowSplash(const std::string&, int) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }

  std::vector<std::string> messages;
};

/// What the file copy step needs of a progress display.
class InstallProgress {
 public:
  virtual ~InstallProgress() = default;
  /// Range 0 .. count, step 1, position 0.
  virtual void SetRange(int count) = 0;
  virtual void ShowSource(const std::string& text) = 0;
  virtual void ShowDestination(const std::string& text) = 0;
  /// Advance one step.
  virtual void Step() = 0;
  /// The entry of the coming step was not copied.
  virtual void CountFailure() {}
  /// Handle every waiting window message, without blocking.
  virtual void PumpMessages() = 0;
  virtual void ClearTexts() = 0;
};

}  // namespace trilo
