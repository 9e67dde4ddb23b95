#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace trilo {
namespace win32 {

/// Lets the user pick one of the package's versions from an editable,
/// unsorted combo box whose first entry is selected at the start.
class VersionSelectDialog {
 public:
  VersionSelectDialog(HWND parent, const std::vector<std::string>& versions)
      : parent_(parent), versions_(versions) {}

  /// The combo box's text when OK was pressed: an entry or what was typed.
  std::string chosen;

  /// IDOK or IDCANCEL.
  INT_PTR DoModal();

  HWND hwnd = nullptr;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void FillCombo();

  HWND parent_;
  const std::vector<std::string>& versions_;
};

}  // namespace win32
}  // namespace trilo
