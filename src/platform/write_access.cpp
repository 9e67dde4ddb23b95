#include "platform/write_access.h"

#include <cstdio>

#include "platform/filesystem.h"
#include "platform/replacing_file.h"

namespace trilo {

Status InFolder(const std::string& folder, const Status& failure) {
  return Status::Failure(folder, failure.Errno(), failure.WindowsCode(), failure.Reason(), Status::Phase::Create);
}

Status ProbeWithNamedFile(const std::string& folder) {
  // A name of ours: one that a kill leaves behind is cleared as any stale
  // temporary of ours.
  const std::string probe = ReplacingFile::TemporaryPathBeside(folder + "probe");
  std::FILE* file = nullptr;
  if (Status made = OpenFile(probe, "wb", file); !made) return InFolder(folder, made);
  std::fclose(file);
  if (Status removed = RemoveFile(probe); !removed) return InFolder(folder, removed);
  return Status();
}

}  // namespace trilo
