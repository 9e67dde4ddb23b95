#include "platform/replacing_file.h"

#include "platform/filesystem.h"

namespace trilo {

ReplacingFile::~ReplacingFile() { Abandon(); }

bool ReplacingFile::Open(const std::string& target) {
  Abandon();
  target_ = target;
  temp_ = target + "~trilo.tmp";
  file_ = OpenFile(temp_, "wb");
  if (!file_) temp_.clear();
  return file_ != nullptr;
}

bool ReplacingFile::Open(const std::string& target, const std::string& temporary) {
  Abandon();
  target_ = target;
  temp_ = temporary;
  file_ = OpenFile(temp_, "wb");
  if (!file_) temp_.clear();
  return file_ != nullptr;
}

bool ReplacingFile::Write(const std::string& bytes) {
  return file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool ReplacingFile::Commit() {
  if (!file_) return false;
  bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
  ok = (std::fclose(file_) == 0) && ok;
  file_ = nullptr;
  if (ok) ok = RenameReplacing(temp_, target_);
  if (ok) temp_.clear();
  else Abandon();
  return ok;
}

void ReplacingFile::Abandon() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_.empty()) {
    RemoveFile(temp_);
    temp_.clear();
  }
}

}  // namespace trilo
