#include <windows.h>

#include <string>

#include "platform/code_page_id.h"
#include "platform/program_name.h"

namespace trilo {

unsigned ActiveCodePageId() { return GetACP(); }

std::string ProgramName() {
  char buf[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string path(buf, n);
  size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) path = path.substr(slash + 1);
  size_t dot = path.rfind('.');
  if (dot != std::string::npos && dot > 0) path = path.substr(0, dot);
  return path;
}

}  // namespace trilo
