// trilo-setup.exe: the installer's Windows front-end. The package folder it
// is started from holds everything it needs; "/undo" takes the newest
// install back instead. The other arguments are those of its own restart
// with administrator rights (setup_options.h).
#include <windows.h>

#include <commctrl.h>

#include "formats/command_line.h"
#include "install/interface_text.h"
#include "install_dialog.h"
#include "platform/filesystem.h"
#include "platform/system_info.h"
#include "platform/virtual_store.h"
#include "text/text_util.h"

namespace {

// A player who opens the zip and double-clicks the installer runs it from a
// temporary folder that holds nothing else: the installer's own folder is
// then the package, if it is one. False when neither holds a package, once
// the player was told.
bool EnterPackageFolder() {
  if (trilo::HoldsPackage(trilo::GetCurrentFolder())) return true;
  char path[MAX_PATH + 1];
  const std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  const std::string own = program.substr(0, program.find_last_of('\\') + 1);
  if (!own.empty() && trilo::HoldsPackage(own) && trilo::SetCurrentFolder(own)) return true;
  const std::string name = program.substr(program.find_last_of('\\') + 1);
  const std::string folder = trilo::GetCurrentFolder();
  const std::string text = trilo::FormatText(TXT_NO_PACKAGE, name.c_str(), folder.c_str(), name.c_str());
  MessageBoxA(nullptr, text.c_str(), trilo::ProgramName().c_str(), MB_OK | MB_ICONEXCLAMATION);
  return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The progress bar is a common control: its class must be registered
  // before the main dialog is created.
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  // Split as the runtime splits it; the first word is the program.
  std::vector<std::string> words = trilo::SplitCommandLine(GetCommandLineA());
  words.erase(words.begin());
  const trilo::win32::SetupOptions options = trilo::win32::ParseSetupOptions(words);
  // The administrator's own VirtualStore is not the one the game uses.
  if (!options.virtualStore.empty()) trilo::UseVirtualStore(options.virtualStore);
  // An undo needs no package: it reads the game's records.
  if (!options.undo && !EnterPackageFolder()) return 1;

  trilo::win32::InstallDialog dialog;
  dialog.SetOptions(options);
  dialog.App().StartUp();
  dialog.DoModal();
  return dialog.ExitCode();
}
