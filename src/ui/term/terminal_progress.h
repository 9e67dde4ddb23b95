#pragma once
#include <string>

#include "install/interaction.h"

namespace trilo {

/// The copy step's progress on a terminal: a live bar with the count, the
/// percentage and the file being copied; without a terminal, a single line
/// at the end, which tells what was done ("Copied", "Undone").
class TerminalProgress : public InstallProgress {
 public:
  explicit TerminalProgress(const char* doneVerb = "Copied");
  void SetRange(int count) override;
  void ShowSource(const std::string& text) override;
  void ShowDestination(const std::string& text) override;
  void Step() override;
  void CountFailure() override { ++failed_; }
  void PumpMessages() override {}
  void ClearTexts() override;

 private:
  void Draw();

  bool live_;
  const char* doneVerb_;
  int range_ = 0;
  int position_ = 0;
  int failed_ = 0;
  std::string source_;
  bool drawn_ = false;
};

}  // namespace trilo
