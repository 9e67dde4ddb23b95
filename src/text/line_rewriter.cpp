#include "text/line_rewriter.h"

#include "platform/exclusive_file.h"
#include "text/line_reader.h"
#include "text/replacing_file.h"

namespace trilo {

RewriteResult RewriteLines(const std::string& source, const std::string& target, const LineRewrite& rewrite) {
  ExclusiveFile in;
  if (!in.Open(source)) return RewriteResult::OpenFailed;
  if (CheckNewFile(target, in) != NewFileCheck::Creatable) return RewriteResult::CreateFailed;
  ReplacingFile out;
  if (!out.Open(target)) return RewriteResult::CreateFailed;

  LineReader reader(in.File());
  LineWriter writer(out.File());
  std::string line, rewritten;
  while (reader.Next(line) && !reader.Failed() && !writer.Failed()) {
    rewritten.clear();
    if (rewrite(line, rewritten)) writer.WriteLine(rewritten);
  }
  if (reader.Failed() || writer.Failed()) return RewriteResult::WriteFailed;  // out drops its file
  in.Close();
  return out.Commit() ? RewriteResult::Done : RewriteResult::WriteFailed;
}

const char* RewriteFailureMessage(RewriteResult result, const RewriteMessages& messages) {
  switch (result) {
    case RewriteResult::Done: return nullptr;
    case RewriteResult::OpenFailed: return messages.openFailed;
    case RewriteResult::CreateFailed: return messages.createFailed;
    case RewriteResult::WriteFailed: return messages.writeFailed;
  }
  return messages.writeFailed;
}

}  // namespace trilo
