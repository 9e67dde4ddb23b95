#include "code_page_text.h"

#include <errno.h>
#include <iconv.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/profile.h"
#include "platform/system_info.h"
#include "platform/user_path.h"
#include "text/utf8.h"

namespace trilo {

namespace {

std::string Escape(unsigned char byte) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\x%02X", byte);
  return escape;
}

// What a conversion does with a byte that is no character: fail, put
// U+FFFD, its \xNN escape, or "?" (skipping a whole UTF-16 unit) instead.
enum class Lossy { No, Replace, Escape, Question };

// One direction of conversion, opened once and kept: a path is converted on
// every file operation.
class Converter {
 public:
  Converter() = default;
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { Close(); }

  bool Open(const std::string& to, const std::string& from) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    Close();
    cd_ = cd;
    return true;
  }

  void Swap(Converter& other) { std::swap(cd_, other.cd_); }

  // False at the first byte sequence that is no character of the source, or
  // that no character of the target can stand for. Lossy, such a byte
  // becomes U+FFFD (or its \xNN escape) and the conversion goes on.
  bool Run(const std::string& in, std::string& out, Lossy lossy = Lossy::No) {
    out.clear();
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> buffer(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    bool ok = true;
    while (srcLeft > 0) {
      char* dst = buffer.data();
      size_t dstLeft = buffer.size();
      const size_t result = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      const int err = errno;
      out.append(buffer.data(), buffer.size() - dstLeft);
      if (result != static_cast<size_t>(-1) || err == E2BIG) continue;
      // EILSEQ: no character here; EINVAL: the text ends inside one.
      if (lossy == Lossy::No) return false;
      ok = false;
      const size_t skip = lossy == Lossy::Question ? std::min<size_t>(2, srcLeft) : 1;
      out += lossy == Lossy::Question ? "?"
             : lossy == Lossy::Escape ? Escape(static_cast<unsigned char>(*src))
                                      : "\xEF\xBF\xBD";
      src += skip;
      srcLeft -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return ok;
  }

 private:
  void Close() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    cd_ = reinterpret_cast<iconv_t>(-1);
  }

  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

// The system's name of a Windows code page.
std::string IconvName(unsigned id) { return id == kUtf8CodePage ? "UTF-8" : "CP" + std::to_string(id); }

struct ActiveState {
  unsigned id = 0;
  Converter toUtf8, fromUtf8, toUtf16, fromUtf16;
  std::vector<Status> refusals;
};

bool OpenAll(ActiveState& state, unsigned id) {
  const std::string name = IconvName(id);
  // All or none: a code page the system cannot convert changes nothing.
  Converter toUtf8, fromUtf8, toUtf16, fromUtf16;
  if (!toUtf8.Open("UTF-8", name) || !fromUtf8.Open(name, "UTF-8") || !toUtf16.Open("UTF-16LE", name) ||
      !fromUtf16.Open(name, "UTF-16LE"))
    return false;
  state.toUtf8.Swap(toUtf8);
  state.fromUtf8.Swap(fromUtf8);
  state.toUtf16.Swap(toUtf16);
  state.fromUtf16.Swap(fromUtf16);
  state.id = id;
  return true;
}

ActiveState& State() {
  static ActiveState state;
  if (state.id == 0 && !OpenAll(state, CodePageForLocale(LocaleFromEnvironment()))) OpenAll(state, 1252);
  return state;
}

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// UTF-8 whose bytes may be anything, as a terminal can show it: control
// characters and bytes that are no UTF-8 as \xNN.
std::string ShownUtf8(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const Utf8Char c = DecodeUtf8(text, i, BadBytes::Mark);
    if (c.code < 0x20 || c.code == 0x7F || c.code >= kBadByte) out += Escape(static_cast<unsigned char>(text[i]));
    else out.append(text, i, c.length);
    i += c.length;
  }
  return out;
}

// Text of the code page that failed to convert, with what is no character
// written as \xNN.
std::string ShownCodePageText(const std::string& text) {
  std::string utf8;
  State().toUtf8.Run(text, utf8, Lossy::Escape);
  return ShownUtf8(utf8);
}

// The sentence names what was refused; it may be no text in the code page,
// so the failure names no path.
void Refuse(const std::string& sentence) {
  constexpr unsigned long kNoUnicodeTranslation = 1113;
  std::vector<Status>& refusals = State().refusals;
  if (refusals.empty() || refusals.back().Reason() != sentence)
    refusals.push_back(Status::Failure("", EILSEQ, kNoUnicodeTranslation, sentence));
}

struct LanguageCodePage {
  const char* language;
  unsigned codePage;
};

// Languages whose Windows locale has an ANSI code page other than 1252.
const LanguageCodePage kLanguages[] = {
    {"bs", 1250}, {"cs", 1250}, {"hr", 1250}, {"hu", 1250}, {"pl", 1250}, {"ro", 1250}, {"sk", 1250},
    {"sl", 1250}, {"sq", 1250}, {"tk", 1250},
    {"ba", 1251}, {"be", 1251}, {"bg", 1251}, {"kk", 1251}, {"ky", 1251}, {"mk", 1251}, {"mn", 1251},
    {"ru", 1251}, {"sah", 1251}, {"sr", 1251}, {"tg", 1251}, {"tt", 1251}, {"uk", 1251},
    {"el", 1253},
    {"az", 1254}, {"tr", 1254}, {"uz", 1254},
    {"he", 1255}, {"iw", 1255},
    {"ar", 1256}, {"fa", 1256}, {"ug", 1256}, {"ur", 1256},
    {"et", 1257}, {"lt", 1257}, {"lv", 1257},
    {"th", 874},
    {"ja", 932},
    {"zh", 936},
    {"ko", 949},
};

}  // namespace

unsigned CodePageForLocale(const std::string& locale) {
  // language[_territory][.charset][@modifier]; the charset says how the
  // terminal writes, not which code page Windows programs get.
  const size_t end = locale.find_first_of("_.@");
  const std::string language = locale.substr(0, end);
  std::string territory, modifier;
  if (end != std::string::npos && locale[end] == '_') {
    const size_t next = locale.find_first_of(".@", end + 1);
    territory = locale.substr(end + 1, next == std::string::npos ? std::string::npos : next - end - 1);
  }
  const size_t at = locale.find('@');
  if (at != std::string::npos) modifier = locale.substr(at + 1);

  if (language == "zh")
    return territory == "TW" || territory == "HK" || territory == "MO" ? 950 : 936;
  // Serbian in Latin letters writes as Croatian does.
  if (language == "sr" && modifier == "latin") return 1250;
  for (const LanguageCodePage& entry : kLanguages)
    if (language == entry.language) return entry.codePage;
  return 1252;
}

std::string LocaleFromEnvironment() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return value;
  }
  return std::string();
}

bool SelectCodePage(unsigned id) { return id != 0 && OpenAll(State(), id); }

CodePage ActiveCodePage() { return CodePage(State().id); }

namespace {

// Bytes that are no text in the active code page.
void RefuseCodePageText(const std::string& text) {
  Refuse("\"" + ShownCodePageText(text) + "\" is not text in code page " + std::to_string(State().id));
}

}  // namespace

bool CodePageToUtf8(const std::string& text, std::string& utf8) {
  if (IsAscii(text)) {
    utf8 = text;
    return true;
  }
  if (State().toUtf8.Run(text, utf8)) return true;
  RefuseCodePageText(text);
  utf8.clear();
  return false;
}

bool CodePageToUtf16(const std::string& text, std::u16string& utf16) {
  utf16.clear();
  if (IsAscii(text)) {
    utf16.assign(text.begin(), text.end());
    return true;
  }
  std::string bytes;
  if (!State().toUtf16.Run(text, bytes)) {
    RefuseCodePageText(text);
    return false;
  }
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    utf16 += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  return true;
}

bool Utf8ToCodePage(const std::string& utf8, std::string& text) {
  if (IsAscii(utf8)) {
    text = utf8;
    return true;
  }
  ActiveState& state = State();
  if (state.fromUtf8.Run(utf8, text)) return true;
  Refuse("\"" + ShownUtf8(utf8) + "\" cannot be written in code page " + std::to_string(state.id));
  text.clear();
  return false;
}

std::string Utf16LeToCodePage(const std::string& bytes) {
  std::string text;
  State().fromUtf16.Run(bytes, text, Lossy::Question);
  return text;
}

std::string CodePageForDisplay(const std::string& text) {
  if (IsAscii(text)) return text;
  std::string utf8;
  State().toUtf8.Run(text, utf8, Lossy::Replace);
  return utf8;
}

std::string Utf8ForCharset(const std::string& utf8, const std::string& charset) {
  if (IsAscii(utf8)) return utf8;
  Converter converter;
  converter.Open(charset, "UTF-8");
  std::string out, converted;
  for (size_t i = 0; i < utf8.size();) {
    const Utf8Char c = DecodeUtf8(utf8, i, BadBytes::Replace);
    // One character at a time, so that one the set lacks costs only itself.
    if (c.code < 0x80) out += utf8[i];
    else out += converter.Run(utf8.substr(i, c.length), converted) ? converted : "?";
    i += c.length;
  }
  return out;
}

std::vector<Status> TakeRefusals() {
  std::vector<Status> taken;
  taken.swap(State().refusals);
  return taken;
}

}  // namespace trilo
