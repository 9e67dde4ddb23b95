// trilo-setup.exe: the installer's Windows front-end. The package folder it
// is started from holds everything it needs; "/undo" takes the newest
// install back instead.
#include <windows.h>

#include <commctrl.h>

#include "formats/command_line.h"
#include "install_dialog.h"
#include "text/text_util.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The progress bar is a common control: its class must be registered
  // before the main dialog is created.
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  trilo::win32::InstallDialog dialog;
  // Split as the runtime splits it; the first word is the program.
  const std::vector<std::string> words = trilo::SplitCommandLine(GetCommandLineA());
  bool undo = false;
  for (size_t i = 1; i < words.size(); ++i) undo = undo || trilo::EqualsIgnoreCase(words[i], "/undo");
  if (undo) dialog.SetUndoMode();
  dialog.App().StartUp();
  dialog.DoModal();
  return dialog.ExitCode();
}
