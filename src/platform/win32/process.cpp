#include "platform/process.h"

#include <windows.h>

#include <vector>

namespace trilo {

bool RunCommand(const std::string& commandLine, const std::string& workingDir) {
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_MINIMIZE;
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof process);

  // CreateProcessA may write into the command line, so it gets a copy.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                      nullptr, workingDir.c_str(), &startup, &process))
    return false;

  // The command's exit code is its own business; it ran.
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace trilo
