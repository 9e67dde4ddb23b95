#include "platform/process.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "code_page_text.h"
#include "formats/command_line.h"
#include "path_map.h"
#include "text/text_util.h"

namespace trilo {

namespace {

// Packages are made for Windows: their programs are PE files ("MZ").
bool IsWindowsProgram(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char magic[2] = {0, 0};
  const bool mz = std::fread(magic, 1, 2, f) == 2 && magic[0] == 'M' && magic[1] == 'Z';
  std::fclose(f);
  return mz;
}

// A file that can be started: a native program we may run, or a Windows one.
bool IsStartable(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return access(path.c_str(), X_OK) == 0 || IsWindowsProgram(path);
}

bool HasExtension(const std::string& name) {
  const size_t slash = name.find_last_of("\\/");
  return name.find('.', slash == std::string::npos ? 0 : slash + 1) != std::string::npos;
}

// The name as given, then with ".exe" added when it has no extension, as the
// Windows program search does. Folder and name are UTF-8; the name may
// use "\".
bool TryIn(const std::string& folder, const std::string& name, std::string& found) {
  std::string candidates[2] = {name, HasExtension(name) ? std::string() : name + ".exe"};
  for (const std::string& candidate : candidates) {
    if (candidate.empty()) continue;
    std::string path = ResolveNativePath(
        ToSlashes((folder.empty() ? std::string() : folder + "/") + candidate, CodePage(kUtf8CodePage)));
    if (!path.empty() && path[0] != '/') path = NativeCurrentFolder() + "/" + path;
    if (IsStartable(path)) {
      found = path;
      return true;
    }
  }
  return false;
}

// The folders of PATH, in order; empty entries are no folder.
std::vector<std::string> SearchFolders(const char* fallback) {
  const char* path = std::getenv("PATH");
  const std::string folders = path ? path : fallback;
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos <= folders.size()) {
    size_t next = folders.find(':', pos);
    if (next == std::string::npos) next = folders.size();
    if (next > pos) out.push_back(folders.substr(pos, next - pos));
    pos = next + 1;
  }
  return out;
}

// A name with a folder is taken from the installer's current folder; a bare
// name is looked for in the current folder and then along PATH.
bool FindProgram(const std::string& word, std::string& found) {
  if (word.find_first_of("\\/") != std::string::npos) return TryIn("", word, found);
  if (TryIn("", word, found)) return true;
  for (const std::string& folder : SearchFolders("/usr/local/bin:/usr/bin:/bin"))
    if (TryIn(folder, word, found)) return true;
  return false;
}

bool FindOnPath(const char* name, std::string& found) {
  for (const std::string& folder : SearchFolders("")) {
    const std::string candidate = folder + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) {
      found = candidate;
      return true;
    }
  }
  return false;
}

// Starts the program without a shell and waits for it. The child reports a
// failed chdir or exec through a pipe that a successful exec closes, so a
// program that cannot be started is told apart from one that ran and failed.
Status SpawnAndWait(const std::vector<std::string>& args, const std::string& folder) {
  ForgetLastLookup();  // the program may change any file
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  int fds[2];
  if (pipe(fds) != 0) return LastSystemError(args[0]);
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  fcntl(fds[1], F_SETFD, FD_CLOEXEC);

  const pid_t pid = fork();
  if (pid < 0) {
    const Status failed = LastSystemError(args[0]);
    close(fds[0]);
    close(fds[1]);
    return failed;
  }
  if (pid == 0) {
    int error = 0;
    if (chdir(folder.c_str()) != 0) error = errno;
    else {
      execv(argv[0], argv.data());
      error = errno;
    }
    ssize_t ignored = write(fds[1], &error, sizeof error);
    (void)ignored;
    _exit(127);
  }

  close(fds[1]);
  int error = 0;
  ssize_t got;
  do {
    got = read(fds[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(fds[0]);

  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (got == 0) return Status();
  // The child said why it could not start; a cut report says nothing more.
  return SystemError(args[0], got == sizeof error ? error : EIO);
}

}  // namespace

bool FindCommandProgram(const std::string& commandLine, std::string& program) {
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  std::string native;
  if (words[0].empty() || !FindProgram(words[0], native)) return false;
  program = FromNativePath(native);
  return true;
}

Status RunCommand(const std::string& commandLine, const std::string& workingDir) {
  // CreateProcessA refuses an empty folder to start in; so do we.
  if (workingDir.empty()) return SystemError(workingDir, ENOENT);
  // Programs take their arguments in UTF-8, Windows programs under Wine
  // too. Split once converted, a trail byte 0x5C is no backslash.
  std::string line, folder;
  if (!CodePageToUtf8(commandLine, line)) return SystemError(commandLine, EILSEQ);
  if (!ToNativePath(workingDir, folder)) return SystemError(workingDir, EILSEQ);
  const std::vector<std::string> words = SplitCommandLine(line);
  std::string program;
  if (words[0].empty() || !FindProgram(words[0], program)) return SystemError(commandLine, ENOENT);

  std::vector<std::string> args;
  std::string wine;
  if (IsWindowsProgram(program) && FindOnPath("wine", wine)) args = {wine, program};
  else args = {program};
  args.insert(args.end(), words.begin() + 1, words.end());

  return SpawnAndWait(args, folder);
}

}  // namespace trilo
