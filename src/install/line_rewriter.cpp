#include "install/line_rewriter.h"

#include <cerrno>

#include "install/install_record.h"
#include "platform/exclusive_file.h"
#include "platform/replacing_file.h"
#include "text/line_reader.h"

namespace trilo {

namespace {

// Why a target may not be written, as the system would have said it.
Status Refusal(const std::string& target, NewFileCheck check) {
  switch (check) {
    case NewFileCheck::Creatable: break;
    case NewFileCheck::SameFile: return Status::Failure(target, EBUSY, 32, "it is the file being read");
    case NewFileCheck::Folder: return Status::Failure(target, EISDIR, 5, "it is a folder");
    case NewFileCheck::NotWritable: return Status::Failure(target, EACCES, 5, "it cannot be written");
    case NewFileCheck::InUse: return Status::Failure(target, EBUSY, 32, "it is in use");
  }
  return Status();
}

std::string RewrittenText(const std::string& text, const LineRewrite& rewrite) {
  StringLineReader reader(text);
  std::string line, rewritten, written;
  while (reader.Next(line)) {
    rewritten.clear();
    if (rewrite(line, rewritten)) AppendCrLfLine(written, rewritten);
  }
  return written;
}

}  // namespace

Status RewriteLines(const std::string& source, const std::string& target, const LineRewrite& rewrite,
                    InstallRecord& record) {
  ExclusiveFile in;
  if (Status opened = in.Open(source); !opened) return opened.At(Status::Phase::Open);
  if (Status refused = Refusal(target, CheckNewFile(target, in)); !refused) return refused.At(Status::Phase::Create);
  ReplacingFile out;
  if (Status opened = OpenReplacing(out, target, record); !opened)
    return opened.IsRecordFailure() ? opened : opened.At(Status::Phase::Create);

  std::string text;
  if (Status read = in.ReadAll(text); !read) return read.At(Status::Phase::Write);  // out drops its file
  const std::string written = RewrittenText(text, rewrite);
  if (Status put = out.Write(written); !put) return put.At(Status::Phase::Write);
  in.Close();
  RecordedChange change = record.BeforeWrite(target, &written);
  if (!change.Recorded()) return change.Recorded();
  const Status committed = out.Commit();
  change.Settle(committed.Ok());
  return committed ? committed : committed.At(Status::Phase::Write);
}

const char* RewriteFailureMessage(const Status& failure, const RewriteMessages& messages) {
  switch (failure.During()) {
    case Status::Phase::Open: return messages.openFailed;
    case Status::Phase::Create: return messages.createFailed;
    default: return messages.writeFailed;
  }
}

}  // namespace trilo
