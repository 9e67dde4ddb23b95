#include "platform/write_access.h"

#include <windows.h>

#include "message_wait.h"
#include "platform/replacing_file.h"

namespace trilo {

Status ProbeWriteAccess(const std::string& folder) {
  // Deleted when its handle closes, by us or by the system when we die.
  const std::string probe = ReplacingFile::TemporaryPathBeside(folder + "probe");
  const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return InFolder(folder, LastSystemError(probe));
  CloseHandle(file);
  return Status();
}

bool RunsElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  const BOOL asked = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  CloseHandle(token);
  return asked && elevation.TokenIsElevated != 0;
}

Status RunElevated(const std::string& program, const std::string& arguments, const std::string& folder,
                   unsigned long& exitCode) {
  SHELLEXECUTEINFOA run = {};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  // The elevation prompt belongs to the window the person answered in.
  run.hwnd = GetActiveWindow();
  run.lpVerb = "runas";
  run.lpFile = program.c_str();
  run.lpParameters = arguments.c_str();
  run.lpDirectory = folder.c_str();
  run.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&run)) return LastSystemError(program);
  if (!run.hProcess) return SystemError(program, ERROR_INVALID_HANDLE);
  WaitKeepingWindowsPainted(run.hProcess);
  DWORD code = 1;
  const BOOL got = GetExitCodeProcess(run.hProcess, &code);
  const Status failure = got ? Status() : LastSystemError(program);
  CloseHandle(run.hProcess);
  exitCode = code;
  return failure;
}

}  // namespace trilo
