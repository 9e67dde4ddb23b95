#include "install/line_rewriter.h"

#include "install/install_record.h"
#include "platform/exclusive_file.h"
#include "platform/replacing_file.h"
#include "text/line_reader.h"

namespace trilo {

RewriteResult RewriteLines(const std::string& source, const std::string& target, const LineRewrite& rewrite,
                           InstallRecord* record) {
  ExclusiveFile in;
  if (!in.Open(source)) return RewriteResult::OpenFailed;
  if (CheckNewFile(target, in) != NewFileCheck::Creatable) return RewriteResult::CreateFailed;
  ReplacingFile out;
  switch (OpenReplacing(out, target, record)) {
    case ReplacingOpen::Opened: break;
    case ReplacingOpen::RecordFailed: return RewriteResult::RecordFailed;
    case ReplacingOpen::OpenFailed: return RewriteResult::CreateFailed;
  }

  std::string text;
  if (!in.ReadAll(text)) return RewriteResult::WriteFailed;  // out drops its file
  StringLineReader reader(text);
  std::string line, rewritten, written;
  while (reader.Next(line)) {
    rewritten.clear();
    if (rewrite(line, rewritten)) AppendCrLfLine(written, rewritten);
  }
  if (!out.Write(written)) return RewriteResult::WriteFailed;
  in.Close();
  if (record && !record->BeforeWrite(target, &written)) return RewriteResult::RecordFailed;
  const bool committed = out.Commit();
  if (record) record->AfterWrite(committed);
  return committed ? RewriteResult::Done : RewriteResult::WriteFailed;
}

const char* RewriteFailureMessage(RewriteResult result, const RewriteMessages& messages) {
  switch (result) {
    case RewriteResult::Done: return nullptr;
    case RewriteResult::OpenFailed: return messages.openFailed;
    case RewriteResult::CreateFailed: return messages.createFailed;
    case RewriteResult::WriteFailed:
    case RewriteResult::RecordFailed: return messages.writeFailed;
  }
  return messages.writeFailed;
}

}  // namespace trilo
