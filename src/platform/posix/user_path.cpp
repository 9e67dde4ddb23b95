#include "platform/user_path.h"

#include <cstdlib>

#include "code_page_text.h"
#include "path_map.h"
#include "text/text_util.h"

namespace trilo {

bool UseCodePage(unsigned id) { return SelectCodePage(id); }

bool PathFromUser(const std::string& typed, std::string& corePath) {
  corePath.clear();
  if (typed.empty()) return true;
  std::string full = typed;
  if (full[0] == '~' && (full.size() == 1 || full[1] == '/')) {
    const char* home = std::getenv("HOME");
    if (home) full = home + full.substr(1);
  }
  if (full[0] != '/') full = NativeCurrentFolder() + "/" + full;
  return FromNativePath(full, corePath);
}

std::string PathForUser(const std::string& corePath) {
  // Shown, not used: what cannot be converted shows as U+FFFD and is no refusal.
  return ResolveNativePath(ToSlashes(CodePageForDisplay(corePath), CodePage(kUtf8CodePage)));
}

bool TextFromUser(const std::string& typed, std::string& text) { return Utf8ToCodePage(typed, text); }

std::string TextForUser(const std::string& text) { return CodePageForDisplay(text); }

}  // namespace trilo
