#include "platform/system_info.h"

#include <windows.h>

#include "text/text_util.h"

namespace trilo {

CodePage ActiveCodePage() { return CodePage(GetACP()); }

std::string ProgramName() {
  char buf[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return FileStem(std::string(buf, n));
}

}  // namespace trilo
