#pragma once
#include <cstdio>
#include <string>

namespace trilo {

/// Writes a file under a temporary name beside its target and renames it
/// over the target only when every byte was written and flushed, so that a
/// failure (disk full, read error in the source) never leaves a cut file
/// under the final name. An uncommitted temporary file is removed.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  ~ReplacingFile();

  /// Creates the temporary file; false when it cannot be created.
  bool Open(const std::string& target);
  /// The same with the temporary file's path given, beside the target: the
  /// install record names it before it exists.
  bool Open(const std::string& target, const std::string& temporary);
  /// Appends bytes to the temporary file; false when they were not all written.
  bool Write(const std::string& bytes);
  /// Flushes, closes and renames over the target; false on any failure,
  /// after which the target is as it was.
  bool Commit();
  /// Drops the temporary file.
  void Abandon();

  const std::string& TempPath() const { return temp_; }

 private:
  std::FILE* file_ = nullptr;
  std::string target_;
  std::string temp_;
};

}  // namespace trilo
