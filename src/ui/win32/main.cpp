// trilo-setup.exe: the installer's Windows front-end. It takes no arguments;
// the package folder it is started from holds everything it needs.
#include <windows.h>

#include <commctrl.h>

#include "install_dialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The progress bar is a common control: its class must be registered
  // before the main dialog is created.
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  trilo::win32::InstallDialog dialog;
  dialog.App().StartUp();
  dialog.DoModal();
  return 0;
}
