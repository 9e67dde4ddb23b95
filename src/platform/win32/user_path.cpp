#include "platform/user_path.h"

#include <windows.h>

namespace trilo {

std::string PathFromUser(const std::string& typed) {
  if (typed.empty()) return typed;
  const DWORD need = GetFullPathNameA(typed.c_str(), 0, nullptr, nullptr);
  if (need == 0) return typed;
  std::string full(need, '\0');
  const DWORD got = GetFullPathNameA(typed.c_str(), need, &full[0], nullptr);
  full.resize(got < need ? got : 0);
  return full.empty() ? typed : full;
}

// Windows paths are what the core speaks already.
std::string PathForUser(const std::string& corePath) { return corePath; }

}  // namespace trilo
