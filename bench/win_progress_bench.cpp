// What the install window's progress costs per copied file under Wine:
// N copies with CopyFileA alone, then the same copies driving the main
// window's progress display (the installer's own InstallDialog, on the real
// dialog template) as the copy step does. Prints both times and the share
// the window takes.
//
//   win_progress_bench [N]      default 5000; needs a display (Xvfb)
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "install/interface_text.h"
#include "install_dialog.h"

namespace {

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 5000;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_INSTALL), nullptr, Quiet, 0);
  if (!dialog) {
    std::fprintf(stderr, "win_progress_bench: no dialog (is there a display?)\n");
    return 1;
  }
  ShowWindow(dialog, SW_SHOW);

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "trilo-progress-bench\\";
  CreateDirectoryA(root.c_str(), nullptr);
  // Each round in a folder of its own: Wine looks a new name up in the whole
  // folder, so a fuller folder would make the second round slower by itself.
  CreateDirectoryA((root + "0").c_str(), nullptr);
  CreateDirectoryA((root + "1").c_str(), nullptr);
  const std::string source = root + "source.dat";
  HANDLE file = CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "0123456789abcdef", 16, &written, nullptr);
  CloseHandle(file);

  LARGE_INTEGER frequency, start, middle, end;
  QueryPerformanceFrequency(&frequency);
  auto target = [&](int i, int round) { return root + std::to_string(round) + "\\" + std::to_string(i); };

  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) CopyFileA(source.c_str(), target(i, 0).c_str(), FALSE);
  QueryPerformanceCounter(&middle);
  trilo::win32::InstallDialog window;
  window.hwnd = dialog;
  window.SetRange(count);
  for (int i = 0; i < count; ++i) {
    const std::string to = target(i, 1);
    window.ShowSource(source);
    window.ShowDestination(to);
    CopyFileA(source.c_str(), to.c_str(), FALSE);
    window.Step();
    window.PumpMessages();
  }
  window.ClearTexts();
  QueryPerformanceCounter(&end);

  const double copies = Seconds(start, middle, frequency), withWindow = Seconds(middle, end, frequency);
  std::printf("%d files: copies alone %.3f s, with the window %.3f s, window share %.0f%%\n", count, copies,
              withWindow, 100.0 * (withWindow - copies) / withWindow);
  DestroyWindow(dialog);
  for (int round = 0; round < 2; ++round)
    for (int i = 0; i < count; ++i) DeleteFileA(target(i, round).c_str());
  RemoveDirectoryA((root + "0").c_str());
  RemoveDirectoryA((root + "1").c_str());
  DeleteFileA(source.c_str());
  RemoveDirectoryA(root.c_str());
  return 0;
}
