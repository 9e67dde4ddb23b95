#include "platform/user_path.h"

#include <windows.h>

namespace trilo {

// Typed text is in the code page already: it only needs to be made full.
bool PathFromUser(const std::string& typed, std::string& corePath) {
  corePath = typed;
  if (typed.empty()) return true;
  const DWORD need = GetFullPathNameA(typed.c_str(), 0, nullptr, nullptr);
  if (need == 0) return true;
  std::string full(need, '\0');
  const DWORD got = GetFullPathNameA(typed.c_str(), need, &full[0], nullptr);
  full.resize(got < need ? got : 0);
  if (!full.empty()) corePath = full;
  return true;
}

// Windows paths are what the core speaks already.
std::string PathForUser(const std::string& corePath) { return corePath; }
std::string PathForMessage(const std::string& corePath) { return corePath; }

// The console takes the code page's text as it is.
std::string TextForUser(const std::string& text) { return text; }

}  // namespace trilo
