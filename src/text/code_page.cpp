#include "text/code_page.h"

namespace trilo {

bool ParseCodePageNumber(const std::string& text, unsigned& id) {
  if (text.empty() || text.size() > 5) return false;
  unsigned long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  if (value == 0 || value > 65535) return false;
  id = static_cast<unsigned>(value);
  return true;
}

bool CodePage::IsLeadByte(unsigned char b) const {
  switch (id_) {
    case 932:  // Shift JIS
      return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:  // GBK
    case 949:  // Unified Hangul
    case 950:  // Big5
      return b >= 0x81 && b <= 0xFE;
    default:
      return false;
  }
}

size_t FindChar(const std::string& text, char ch, const CodePage& cp, size_t from) {
  if (!cp.HasLeadBytes()) return text.find(ch, from);
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] == ch) return i;
    if (cp.IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
  }
  return std::string::npos;
}

size_t FindLastChar(const std::string& text, char ch, const CodePage& cp) {
  if (!cp.HasLeadBytes()) return text.rfind(ch);
  size_t found = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ch) found = i;
    else if (cp.IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
  }
  return found;
}

size_t FindText(const std::string& text, const std::string& needle, const CodePage& cp) {
  if (needle.empty()) return 0;
  if (!cp.HasLeadBytes()) return text.find(needle);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, needle.size(), needle) == 0) return i;
    if (cp.IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
  }
  return std::string::npos;
}

}  // namespace trilo
