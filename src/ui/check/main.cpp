// trilo-check: a package judged as the installer would read it, for the
// people who make packages. Writes nothing and runs no command.
#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <string>

#include "check/package_check.h"
#include "check_options.h"
#include "platform/filesystem.h"
#include "platform/user_path.h"
#include "text/text_util.h"
#include "trilo_version.h"

using namespace trilo;

namespace {

enum ExitCode { kClean = 0, kErrors = 1, kUsage = 64 };

// Plain C output: iostreams would double the size of the Windows program.
int Usage(const std::string& error) {
  std::fprintf(stderr, "trilo-check: %s\n\n%s", error.c_str(), kCheckUsage);
  return kUsage;
}

int Check(int argc, char** argv) {
  CheckOptions options;
  std::string error;
  if (!ParseCheckOptions(argc, argv, options, error)) return Usage(error);
  if (options.help) {
    std::fputs(kCheckUsage, stdout);
    return kClean;
  }
  if (options.version) {
    std::puts("trilo-check " TRILO_VERSION);
    return kClean;
  }

#ifndef _WIN32
  // Windows reads the package in the system's code page; here it is chosen.
  if (options.codePage && !UseCodePage(options.codePage)) {
    std::fprintf(stderr, "trilo-check: code page %u is not known to this system\n", options.codePage);
    return kUsage;
  }
#endif
  CheckRequest request;
  // ".." steps are taken here, or the report would repeat them in every path.
  auto full = [](const std::string& typed, std::string& path) {
    if (!PathFromUser(typed, path)) return false;
    path = ResolveDotSteps(path);
    return true;
  };
  const std::string packageDir = options.packageDir.empty() ? "." : options.packageDir;
  if (!full(packageDir, request.packageDir)) return Usage("not a name in the code page: " + packageDir);
  if (!GetFileStatus(request.packageDir).folder) return Usage("not a folder: " + options.packageDir);
  request.hasVersion = options.hasVersion;
  request.version = options.packageVersion;
  request.dryRun = options.dryRun;
  // A path given by hand that names nothing is a slip of the hand, not a
  // finding about the package.
  const struct {
    const char* flag;
    const std::string& typed;
    std::string& target;
  } paths[] = {{"--game-exe", options.gameExe, request.gameExe},
               {"--config", options.config, request.gameConfig},
               {"--player", options.player, request.player}};
  for (const auto& p : paths) {
    if (p.typed.empty()) continue;
    if (!full(p.typed, p.target)) return Usage(std::string(p.flag) + ": not a name in the code page: " + p.typed);
    if (!GetFileStatus(p.target).exists) return Usage(std::string(p.flag) + ": no such file: " + p.typed);
  }

  const CheckReport report = CheckPackage(request);
  std::fputs(report.Text().c_str(), stdout);
  std::fflush(stdout);
  return report.Count(Severity::Error) > 0 ? kErrors : kClean;
}

#ifdef _WIN32
// Started by a double-click, the program is alone in a console of its own,
// which would close with it before the report could be read.
void KeepOwnConsoleOpen() {
  DWORD processes[2];
  DWORD mode;
  if (GetConsoleProcessList(processes, 2) != 1) return;
  if (!GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode)) return;
  std::fputs("Press Enter to close this window.", stdout);
  std::fflush(stdout);
  // Any line, or the end of the input, closes it.
  int c;
  do c = std::getchar();
  while (c != '\n' && c != EOF);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  const int status = Check(argc, argv);
#ifdef _WIN32
  KeepOwnConsoleOpen();
#endif
  return status;
}
