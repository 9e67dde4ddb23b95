#pragma once
#include <functional>
#include <string>

#include "platform/status.h"

namespace trilo {

class InstallRecord;

/// Decides what one source line becomes: returns false to drop the line,
/// or true with `out` the line to write (the line end is added).
using LineRewrite = std::function<bool(const std::string& line, std::string& out)>;

/// Writes `target` anew from the lines of `source`. The source is open for
/// exclusive use the whole time; the target is refused before anything is
/// written when it is the source itself, a folder, read-only or in use, and
/// is written aside (ReplacingFile) and put in its place only when every
/// line was read, written and flushed to disk. Every written line ends with
/// CR LF, the last one included. `record` is told of the target right
/// before it is replaced.
///
/// A failure says where it came: Phase::Open, the source could not be
/// opened; Phase::Create, the target cannot be created and nothing was
/// written; otherwise reading or writing failed midway and the target is as
/// it was. A record failure leaves the target as it was too.
Status RewriteLines(const std::string& source, const std::string& target, const LineRewrite& rewrite,
                    InstallRecord& record);

/// The fixed messages of a step that rewrites a file, one per failure.
struct RewriteMessages {
  const char* openFailed;
  const char* createFailed;
  const char* writeFailed;
};

/// The message for how a rewrite failed.
const char* RewriteFailureMessage(const Status& failure, const RewriteMessages& messages);

}  // namespace trilo
