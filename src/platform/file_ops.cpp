#include "platform/file_ops.h"

#include "platform/filesystem.h"
#include "text/line_reader.h"

namespace trilo {

bool AppendLine(const std::string& path, const std::string& line) {
  if (path.empty()) return false;
  std::FILE* f = OpenFile(path, "ab");
  if (!f) return false;
  std::string bytes;
  AppendCrLfLine(bytes, line);
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

}  // namespace trilo
