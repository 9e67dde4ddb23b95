#pragma once
#include <windows.h>

#include <string>

namespace trilo {
namespace win32 {

/// Asks for one file: a prompt, an edit box with a proposed path, and Browse
/// for the standard Open dialog. OK is enabled only when the path shown by
/// the dialog itself (on opening, after Browse) is not blank.
class LocateFileDialog {
 public:
  explicit LocateFileDialog(HWND parent = nullptr) : parent_(parent) {}

  /// Shown on opening; the answer after OK.
  std::string path;

  /// Prompt text, Open dialog filter ("desc|pattern|...||") and initial file name.
  void SetStrings(const std::string& prompt, const std::string& filter, const std::string& defaultName);
  /// IDOK or IDCANCEL.
  INT_PTR DoModal();
  std::string GetPath() const { return path; }

  HWND hwnd = nullptr;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void FillControls();
  void Browse();

  HWND parent_;
  std::string prompt_;
  std::string filter_;
  std::string defaultName_;
};

}  // namespace win32
}  // namespace trilo
