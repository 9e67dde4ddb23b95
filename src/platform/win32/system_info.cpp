#include "platform/system_info.h"

#include <windows.h>

#include <cstdio>

#include "text/text_util.h"

namespace trilo {

CodePage ActiveCodePage() { return CodePage(GetACP()); }

std::string ProgramName() {
  char buf[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return FileStem(std::string(buf, n));
}

std::string LocalTimeText() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return text;
}

}  // namespace trilo
