#pragma once
#include <string>
#include <vector>

namespace trilo {
namespace test {

/// The outcome of a program run to its end.
struct ProgramResult {
  int exitCode = -1;  ///< -1 when it did not end normally (signal, time-out)
  std::string out;
  std::string err;
};

/// Runs a program with no standard input, collecting its output; killed
/// after `timeoutSeconds`.
ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& cwd = "",
                         const std::vector<std::string>& extraEnv = {}, int timeoutSeconds = 60);

/// A program on a pseudo-terminal of 40 rows and `columns` columns, driven
/// as a person would type.
class PtySession {
 public:
  PtySession(const std::vector<std::string>& argv, const std::string& cwd,
             const std::vector<std::string>& extraEnv = {}, int columns = 120);
  ~PtySession();
  /// Waits until `text` has appeared in the output since the last Expect;
  /// false after the time-out (the output so far is in Transcript()).
  bool Expect(const std::string& text, int timeoutSeconds = 20);
  void Send(const std::string& keys);
  /// Waits for the program to end; its exit code, or -1.
  int Wait(int timeoutSeconds = 60);
  const std::string& Transcript() const { return all_; }

 private:
  void Pump(int timeoutMs);
  int fd_ = -1;
  int pid_ = -1;
  std::string all_;
  size_t seen_ = 0;
};

}  // namespace test
}  // namespace trilo
