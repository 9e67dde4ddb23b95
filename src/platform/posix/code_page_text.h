#pragma once
#include <string>

// The core keeps its text in the active code page, as the Windows program
// does; the system speaks UTF-8 (file names, the terminal, arguments). The
// conversions between the two happen here, with the C library's iconv, and
// only at the platform's edges.

namespace trilo {

/// The code page Wine gives 8-bit text for a locale name such as
/// "ja_JP.UTF-8", "sr_RS@latin" or "C": taken from the language (and, for
/// Chinese and Serbian, the territory or script); 1252 for C, POSIX and every
/// language without a code page of its own.
unsigned CodePageForLocale(const std::string& locale);

/// The locale of text: the first of LC_ALL, LC_CTYPE and LANG that is set
/// and not empty; "" when none is.
std::string LocaleFromEnvironment();

/// Makes `id` the active code page; false (nothing changed) when the system
/// cannot convert it.
bool SelectCodePage(unsigned id);

/// Text of the active code page as UTF-8 (or UTF-16). False when it holds
/// bytes that are no character of the code page; the text is then noted
/// as refused.
bool CodePageToUtf8(const std::string& text, std::string& utf8);
bool CodePageToUtf16(const std::string& text, std::u16string& utf16);

/// UTF-8 as text of the active code page. False when a character is missing
/// there (or the bytes are no UTF-8); the name is then noted as refused.
bool Utf8ToCodePage(const std::string& utf8, std::string& text);

/// Text of the active code page as UTF-8 for showing only: what is no
/// character of the code page becomes U+FFFD, and nothing is noted.
std::string CodePageForDisplay(const std::string& text);

/// UTF-8 in the character set `charset` (as iconv names it), for showing
/// only: each character the set lacks becomes "?".
std::string Utf8ForCharset(const std::string& utf8, const std::string& charset);

}  // namespace trilo
