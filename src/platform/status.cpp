#include "platform/status.h"

namespace trilo {

Status Status::Failure(const std::string& path, int errnoValue, unsigned long windowsCode, const std::string& reason,
                       Phase phase) {
  Status s;
  s.failed_ = true;
  s.errno_ = errnoValue;
  s.windowsCode_ = windowsCode;
  s.path_ = path;
  s.reason_ = reason;
  s.phase_ = phase;
  return s;
}

Status Status::RecordFailure(const std::string& message, const Status& cause) {
  Status s = cause;
  s.failed_ = true;
  s.record_ = true;
  s.message_ = message;
  return s;
}

Status Status::At(Phase phase) const {
  Status s = *this;
  s.phase_ = phase;
  return s;
}

std::string Status::Explain(const std::string& message) const {
  return reason_.empty() ? message : message + ": " + reason_;
}

}  // namespace trilo
