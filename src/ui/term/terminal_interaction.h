#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "install/interaction.h"
#include "options.h"

namespace trilo {

/// UTF-8 text broken into lines of at most `columns` columns, at blanks
/// where there are any; unchanged when `columns` is 0.
std::string WrapText(const std::string& utf8, int columns);

/// Shows on standard error what could not be converted to or from the code
/// page since the last time, one line each.
void TellRefusals();

/// Where `name` is in the package's `versions` (without regard to case, as
/// the version's files are found); -1 when it is not there.
int FindVersion(const std::vector<std::string>& versions, const std::string& name);
/// The versions as the terminal lists them: "  1) Full", a line each.
std::string VersionsText(const std::vector<std::string>& versions);

/// The terminal's stand-in for the dialogs: each question is a prompt with
/// the dialog's own text and its proposal; in unattended mode the flags and
/// proposals answer without asking.
class TerminalInteraction : public Interaction {
 public:
  explicit TerminalInteraction(const TermOptions& options);

  void ShowMessage(const std::string& text) override;
  void ShowNotice(Notice notice) override;
  bool LocateFile(LocateRequest& request) override;
  bool ChooseVersion(const std::vector<std::string>& versions, std::string& chosen) override;
  void ShowSplash(const std::string& imagePath, int delayMs) override;
  /// The details, then the question; No unless answered yes. Unattended: yes.
  bool AskYesNo(const std::string& question, const std::string& details) override;

  /// The summary, then Install (the default) or Cancel; true for Install.
  /// Unattended: always Install.
  bool ConfirmInstall(const std::string& summary);

  /// A question whose default is Yes; the end of input is No.
  /// Unattended: yes.
  bool AskGoOn(const std::string& question);

  bool Interactive() const { return interactive_; }

 private:
  /// One line of input; false on end of input (the person cancelled).
  bool ReadAnswer(const std::string& prompt, std::string& answer);
  /// Yes or No, asked until one is given; an empty answer is `byDefault`,
  /// the end of input No.
  bool ReadYesNo(const std::string& prompt, bool byDefault);
  /// The question of `request` until an acceptable path is given.
  bool AskPath(LocateRequest& request, std::string proposal);

  const TermOptions& options_;
  bool interactive_;
  bool useLineEditor_;
  std::string gameExe_;  ///< the game executable as answered, for the configuration's proposal
};

}  // namespace trilo
