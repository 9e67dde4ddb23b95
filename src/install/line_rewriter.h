#pragma once
#include <functional>
#include <string>

namespace trilo {

/// How a rewrite of one text file into another ended.
enum class RewriteResult {
  Done,            ///< the new file is complete under its final name
  OpenFailed,      ///< the source is missing, a folder, unreadable or in use
  CreateFailed,    ///< the target cannot be created; nothing was written
  WriteFailed,     ///< reading or writing failed midway; the target is as it was
  RecordFailed,    ///< the install record could not keep the target; it is as it was
};

class InstallRecord;

/// Decides what one source line becomes: returns false to drop the line,
/// or true with `out` the line to write (the line end is added).
using LineRewrite = std::function<bool(const std::string& line, std::string& out)>;

/// Writes `target` anew from the lines of `source`. The source is open for
/// exclusive use the whole time; the target is refused before anything is
/// written when it is the source itself, a folder, read-only or in use, and
/// is written aside (ReplacingFile) and put in its place only when every
/// line was read, written and flushed to disk. Every written line ends with
/// CR LF, the last one included. `record`, when given, is told of the
/// target right before it is replaced.
RewriteResult RewriteLines(const std::string& source, const std::string& target, const LineRewrite& rewrite,
                           InstallRecord* record = nullptr);

/// The fixed messages of a step that rewrites a file, one per failure.
struct RewriteMessages {
  const char* openFailed;
  const char* createFailed;
  const char* writeFailed;
};

/// The message for how a rewrite ended; nullptr when it was done. A record
/// that failed has its own message, which the step shows instead.
const char* RewriteFailureMessage(RewriteResult result, const RewriteMessages& messages);

}  // namespace trilo
