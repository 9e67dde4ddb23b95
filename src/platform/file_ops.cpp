#include "platform/file_ops.h"

#include "platform/filesystem.h"
#include "text/line_reader.h"

namespace trilo {

Status AppendLine(const std::string& path, const std::string& line) {
  std::FILE* f = nullptr;
  const Status opened = OpenFile(path, "ab", f);
  if (!opened) return opened;
  std::string bytes;
  AppendCrLfLine(bytes, line);
  Status written;
  if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) written = LastSystemError(path, Status::Phase::Write);
  if (std::fclose(f) != 0 && written) written = LastSystemError(path, Status::Phase::Write);
  return written;
}

}  // namespace trilo
