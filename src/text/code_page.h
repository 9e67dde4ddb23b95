#pragma once
#include <string>

namespace trilo {

/// The code page number of UTF-8, as Windows numbers it.
constexpr unsigned kUtf8CodePage = 65001;

/// A code page number as typed after --code-page: decimal digits only,
/// 1 to 65535. False for anything else.
bool ParseCodePageNumber(const std::string& text, unsigned& id);

/// Lead-byte knowledge of one 8-bit code page. Only the double-byte code
/// pages have lead bytes; in every other one (UTF-8 included) an ASCII byte
/// is always a character of its own.
class CodePage {
 public:
  explicit CodePage(unsigned id = 0) : id_(id) {}
  unsigned Id() const { return id_; }
  bool IsLeadByte(unsigned char byte) const;
  /// False for the single-byte code pages: there every byte is a character.
  bool HasLeadBytes() const { return id_ == 932 || id_ == 936 || id_ == 949 || id_ == 950; }

 private:
  unsigned id_;
};

/// Index of the first byte equal to `ch` that is a character of its own,
/// stepping over double-byte characters; std::string::npos when none.
/// `from` must be a character boundary.
size_t FindChar(const std::string& text, char ch, const CodePage& cp, size_t from = 0);

/// Index of the last such byte; std::string::npos when none.
size_t FindLastChar(const std::string& text, char ch, const CodePage& cp);

/// First occurrence of `needle` starting on a character boundary.
size_t FindText(const std::string& text, const std::string& needle, const CodePage& cp);

}  // namespace trilo
