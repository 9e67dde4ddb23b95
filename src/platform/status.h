#pragma once
#include <string>

// The error contract of every layer below the install steps.
//
// An operation that can fail returns a Status and hands its work back through
// its last arguments. A Status is either success or one failure: the system's
// error number and the code Windows gives for it, the system's own words for
// the reason, the path it concerns, and what the operation was doing when it
// failed. Expected failures never travel as exceptions, and nothing reports a
// failure any other way: no bool, no sentinel, no error kept aside in an
// object or a queue. A question that has an answer rather than a failure
// (does this path exist, are these one file) still answers with a value.
//
// The install steps turn a Status into their fixed message (Explain adds the
// system's reason to it). One failure has a message of its own: the install
// record could not be written (IsRecordFailure); every step stops on it and
// shows Message().

namespace trilo {

class Status {
 public:
  /// What the operation was doing, where a caller's message depends on it.
  enum class Phase { Other, Open, Create, Read, Write };

  /// Success.
  Status() = default;

  /// A failure the system reported. On POSIX `errnoValue` is the system's
  /// and `windowsCode` the code Windows gives for the same failure; on
  /// Windows `windowsCode` is GetLastError() and `errnoValue` what the C
  /// runtime derives from it. So the copy log reads alike on both.
  static Status Failure(const std::string& path, int errnoValue, unsigned long windowsCode,
                        const std::string& reason, Phase phase = Phase::Other);
  /// The install record could not be written; `message` says where, and the
  /// system's failure under it is kept.
  static Status RecordFailure(const std::string& message, const Status& cause);

  bool Ok() const { return !failed_; }
  explicit operator bool() const { return !failed_; }

  bool IsRecordFailure() const { return record_; }
  int Errno() const { return errno_; }
  unsigned long WindowsCode() const { return windowsCode_; }
  const std::string& Path() const { return path_; }
  /// The system's words for the failure, in the code page; may be empty.
  const std::string& Reason() const { return reason_; }
  Phase During() const { return phase_; }
  /// The same failure, said to have happened while doing `phase`.
  Status At(Phase phase) const;

  /// The record's own message for a record failure, else empty.
  const std::string& Message() const { return message_; }
  /// `message` followed by ": " and the reason, when the system gave one.
  std::string Explain(const std::string& message) const;

  /// A failure that is neither here nor there: the file is missing, or a
  /// folder on the way to it is.
  bool Missing() const { return windowsCode_ == 2 || windowsCode_ == 3; }
  /// A folder that could not be removed because something is in it.
  bool NotEmpty() const { return windowsCode_ == 145; }
  /// A lock that another process holds.
  bool Locked() const { return windowsCode_ == 33; }
  /// A name that exists already (a file or a folder).
  bool AlreadyExists() const { return windowsCode_ == 80 || windowsCode_ == 183; }

 private:
  bool failed_ = false;
  bool record_ = false;
  int errno_ = 0;
  unsigned long windowsCode_ = 0;
  Phase phase_ = Phase::Other;
  std::string path_;
  std::string reason_;
  std::string message_;
};

/// The failure the system reported last for `path` (errno on POSIX,
/// GetLastError() on Windows), with its reason. On POSIX a name that cannot
/// be written in the code page gives the refusal's own sentence as reason.
Status LastSystemError(const std::string& path, Status::Phase phase = Status::Phase::Other);
/// The failure with a given system code (errno on POSIX, a Windows error
/// code on Windows).
Status SystemError(const std::string& path, long code, Status::Phase phase = Status::Phase::Other);

}  // namespace trilo
