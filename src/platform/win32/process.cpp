#include "platform/process.h"

#include <windows.h>

#include <vector>

#include "formats/command_line.h"
#include "message_wait.h"

namespace trilo {

namespace {

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool FindCommandProgram(const std::string& commandLine, std::string& program) {
  const std::string word = SplitCommandLine(commandLine)[0];
  if (word.empty()) return false;
  std::string name = word;
  const size_t slash = name.find_last_of("\\/");
  if (name.find('.', slash == std::string::npos ? 0 : slash + 1) == std::string::npos) name += ".exe";

  char found[MAX_PATH];
  char* filePart = nullptr;
  if (slash != std::string::npos || (name.size() > 1 && name[1] == ':')) {
    const DWORD n = GetFullPathNameA(name.c_str(), MAX_PATH, found, &filePart);
    if (n == 0 || n >= MAX_PATH || !IsFile(found)) return false;
    program = found;
    return true;
  }
  // CreateProcessA looks in the starting program's own folder first; the
  // installer lies in the package folder, which is current here.
  DWORD n = SearchPathA(".", name.c_str(), nullptr, MAX_PATH, found, &filePart);
  if (n == 0 || n >= MAX_PATH || !IsFile(found)) n = SearchPathA(nullptr, name.c_str(), nullptr, MAX_PATH, found, &filePart);
  if (n == 0 || n >= MAX_PATH || !IsFile(found)) return false;
  program = found;
  return true;
}

Status RunCommand(const std::string& commandLine, const std::string& workingDir) {
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
    return LastSystemError(commandLine);

  // The command's exit code is its own business; it ran.
  WaitKeepingWindowsPainted(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return Status();
}

}  // namespace trilo
