#include "platform/registry.h"

#include <stdlib.h>

#include <cstdio>
#include <cctype>
#include <cstdlib>

#include "code_page_text.h"
#include "path_map.h"
#include "read_file.h"
#include "wine_registry.h"
#include "text/text_util.h"

namespace trilo {

namespace {

// Appends one character as UTF-8 (the prefix's file names are UTF-8).
void AppendUtf8(std::string& out, unsigned cp) {
  if (cp < 0x80) out += static_cast<char>(cp);
  else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The UTF-16 code unit of a "\x" escape at text[pos] (the "x"); pos ends on
// its last digit.
unsigned ReadEscapedUnit(const std::string& text, size_t& pos) {
  unsigned unit = 0;
  int digits = 0;
  while (digits < 4 && pos + 1 < text.size() && std::isxdigit(static_cast<unsigned char>(text[pos + 1]))) {
    char h = text[++pos];
    unit = unit * 16 + static_cast<unsigned>(h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
    ++digits;
  }
  return unit;
}

// Reads a quoted registry string starting at text[pos] == '"'; pos ends after
// the closing quote.
bool ReadQuoted(const std::string& text, size_t& pos, std::string& out) {
  if (pos >= text.size() || text[pos] != '"') return false;
  out.clear();
  for (++pos; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\n') return false;
    if (c != '\\' || pos + 1 >= text.size()) {
      out += c;
      continue;
    }
    char e = text[++pos];
    switch (e) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '0': out += '\0'; break;
      case 'x': {
        unsigned cp = ReadEscapedUnit(text, pos);
        // A character beyond the first 65536 is written as two escapes.
        if (cp >= 0xD800 && cp < 0xDC00 && text.compare(pos + 1, 2, "\\x") == 0) {
          size_t next = pos + 2;
          const unsigned low = ReadEscapedUnit(text, next);
          if (low >= 0xDC00 && low < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            pos = next;
          }
        }
        AppendUtf8(out, cp);
        break;
      }
      default: out += e; break;
    }
  }
  return false;
}

}  // namespace

bool FindWineRegistryValue(const std::string& regText, const std::string& key, const std::string& valueName,
                           std::string& value) {
  bool inKey = false;
  size_t pos = 0;
  while (pos < regText.size()) {
    size_t end = regText.find('\n', pos);
    if (end == std::string::npos) end = regText.size();
    std::string line = regText.substr(pos, end - pos);
    size_t lineStart = pos;
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      if (close == std::string::npos) continue;
      // Key names are written with doubled backslashes.
      std::string name;
      for (size_t i = 1; i < close; ++i) {
        name += line[i];
        if (line[i] == '\\' && i + 1 < close && line[i + 1] == '\\') ++i;
      }
      inKey = EqualsIgnoreCase(name, key);
      continue;
    }
    if (!inKey || line[0] != '"') continue;
    size_t p = lineStart;
    std::string name;
    if (!ReadQuoted(regText, p, name) || !EqualsIgnoreCase(name, valueName)) continue;
    if (p >= regText.size() || regText[p] != '=') continue;
    ++p;
    // The type is not looked at: plain strings and str(N): strings alike.
    if (regText.compare(p, 4, "str(") == 0) {
      size_t colon = regText.find("):", p);
      if (colon == std::string::npos || colon > end) continue;
      p = colon + 2;
    }
    if (ReadQuoted(regText, p, value)) return true;
  }
  return false;
}

std::string WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix && *prefix) return prefix;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.wine";
}

std::string MapWineDosPath(const std::string& prefix, const std::string& windowsPath) {
  if (windowsPath.size() < 2 || windowsPath[1] != ':') return std::string();
  char drive = static_cast<char>(windowsPath[0] | 0x20);
  if (drive < 'a' || drive > 'z') return std::string();
  std::string device = prefix + "/dosdevices/" + drive + ":";
  char* resolved = realpath(device.c_str(), nullptr);
  if (!resolved) return std::string();
  std::string root = resolved;
  std::free(resolved);
  const std::string rest = ToSlashes(windowsPath.substr(2), CodePage(kUtf8CodePage));
  if (root == "/" && !rest.empty() && rest[0] == '/') root.clear();
  return root + rest;
}

bool QueryGameInstallDir(std::string& folder) {
  const std::string prefix = WinePrefix();
  const std::string reg = ReadNativeFile(prefix + "/system.reg");
  if (reg.empty()) return false;
  std::string value;
  if (!FindWineRegistryValue(reg, "Software\\Wow6432Node\\EA SPORTS\\F1 9902", "Install Dir", value) &&
      !FindWineRegistryValue(reg, "Software\\EA SPORTS\\F1 9902", "Install Dir", value))
    return false;
  // The value is read into 512 bytes in the code page; a folder that cannot
  // be written there is no folder to propose.
  std::string inCodePage;
  if (!Utf8ToCodePage(value, inCodePage) || inCodePage.size() >= 512) return false;
  std::string mapped = MapWineDosPath(prefix, value);
  return !mapped.empty() && FromNativePath(mapped, folder);
}

}  // namespace trilo
