#include "posix/program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace trilo {
namespace test {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void ExecChild(const std::vector<std::string>& argv, const std::string& cwd,
                            const std::vector<std::string>& extraEnv) {
  if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
  for (const std::string& e : extraEnv) {
    size_t eq = e.find('=');
    if (eq == std::string::npos) unsetenv(e.c_str());
    else setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execv(args[0], args.data());
  _exit(127);
}

int ExitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& cwd,
                         const std::vector<std::string>& extraEnv, int timeoutSeconds) {
  ProgramResult result;
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;
  pid_t pid = fork();
  if (pid == 0) {
    int devnull = open("/dev/null", O_RDONLY);
    dup2(devnull, 0);
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    ExecChild(argv, cwd, extraEnv);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  int open = 2;
  bool timedOut = false;
  while (open > 0) {
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
    if (left <= 0) {
      timedOut = true;
      break;
    }
    if (poll(fds, 2, left) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      char buf[4096];
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else {
        (i == 0 ? result.out : result.err).append(buf, static_cast<size_t>(n));
      }
    }
  }
  if (timedOut) kill(pid, SIGKILL);
  for (pollfd& f : fds)
    if (f.fd >= 0) close(f.fd);
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitCode = timedOut ? -1 : ExitCodeOf(status);
  return result;
}

PtySession::PtySession(const std::vector<std::string>& argv, const std::string& cwd,
                       const std::vector<std::string>& extraEnv, int columns) {
  winsize ws{};
  ws.ws_row = 40;
  ws.ws_col = static_cast<unsigned short>(columns);
  pid_ = forkpty(&fd_, nullptr, nullptr, &ws);
  if (pid_ == 0) {
    setenv("TERM", "xterm", 1);
    ExecChild(argv, cwd, extraEnv);
  }
}

PtySession::~PtySession() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (fd_ >= 0) close(fd_);
}

void PtySession::Pump(int timeoutMs) {
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) > 0) {
    char buf[4096];
    ssize_t n = read(fd_, buf, sizeof buf);
    if (n > 0) all_.append(buf, static_cast<size_t>(n));
  }
}

bool PtySession::Expect(const std::string& text, int timeoutSeconds) {
  auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
  for (;;) {
    size_t at = all_.find(text, seen_);
    if (at != std::string::npos) {
      seen_ = at + text.size();
      return true;
    }
    if (Clock::now() >= deadline) return false;
    Pump(100);
  }
}

void PtySession::Send(const std::string& keys) {
  // The line editor may set up the terminal (discarding typed-ahead input)
  // just after it printed its prompt; a person never types that fast.
  usleep(150 * 1000);
  ssize_t n = write(fd_, keys.data(), keys.size());
  (void)n;
}

int PtySession::Wait(int timeoutSeconds) {
  auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
  while (Clock::now() < deadline) {
    Pump(50);
    int status = 0;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      Pump(50);
      pid_ = -1;
      return ExitCodeOf(status);
    }
  }
  return -1;
}

}  // namespace test
}  // namespace trilo
