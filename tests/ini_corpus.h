#pragma once
#include <string>
#include <utility>
#include <vector>

// Awkward INI files and the questions asked of each, read both by the
// profile functions and by our own reader.
namespace trilo {
namespace test {

struct IniCase {
  const char* name;
  std::string text;
  std::vector<std::pair<std::string, std::string>> queries;  // section, key
  /// Windows drops blanks inside a section's brackets; older Wine keeps
  /// them as part of the name and answers these queries with the default.
  bool olderWineKeepsBracketBlanks = false;
  /// Questions Windows answers otherwise than Wine 8, asked all the same:
  /// our reader must give Windows' answer, which the profile functions give
  /// only on Windows.
  std::vector<std::pair<std::string, std::string>> wineDiffers = {};
};

// The text as UTF-16 LE with its mark, as Notepad saves "Unicode".
inline std::string Utf16Le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

inline std::vector<IniCase> IniCorpus() {
  const std::string longValue(1500, 'L');
  return {
      {"case of names",
       "[Section]\r\nKey=v1\r\nOTHER=v2\r\n",
       {{"section", "key"}, {"SECTION", "KEY"}, {"Section", "other"}, {"sect", "key"}, {"Section", "Ke"}}},
      {"blanks around names and values",
       "  [ Spaced ]  \r\n[Tight]\r\n  key one  =   value with  inner  \r\n\tTabbed\t=\tx\t\r\nk2 =\r\n",
       {{"Tight", "key one"}, {"Tight", " key one "}, {"Tight", "Tabbed"}, {"Tight", "k2"}, {" Tight ", "k2"},
        {"Spaced", "key one"}, {" Spaced ", "x"}}},
      {"blanks inside the brackets",
       "[ VESKAINSTALL ]\r\nNewConfig=1\r\n[\tGUI\t]\r\nTitle=Mod\r\n[Plain]\r\nk=p\r\n",
       {{"VESKAINSTALL", "NewConfig"}, {"gui", "Title"}, {" GUI ", "Title"}, {"Plain", "k"}},
       true},
      {"quotes",
       "[Q]\na=\"quoted\"\nb='single'\nc=\"unbalanced\nd=\"\"\ne=\"mixed'\nf= \" padded \" \ng=\"\nh=x\"y\"\n",
       {{"Q", "a"}, {"Q", "b"}, {"Q", "c"}, {"Q", "d"}, {"Q", "e"}, {"Q", "f"}, {"Q", "g"}, {"Q", "h"}}},
      {"duplicate sections and keys",
       "[Dup]\nk=first\nk=second\n[Other]\nz=1\n[dup]\nk=third\nonly=later\n",
       {{"Dup", "k"}, {"DUP", "only"}, {"Other", "z"}}},
      {"missing sections and keys before any section",
       "lead=before\n[S]\nk=v\n[]\nempty=e\n",
       {{"Missing", "k"}, {"S", "lead"}, {"S", "missing"}},
       false,
       {{"", "lead"}, {"", "empty"}}},
      {"lines without =",
       "[S]\nnoequals\nk=v\n;comment=c\n  ;spaced=s\n#hash=h\n=novalue\n[NoClose\nafter=a\n",
       {{"S", "noequals"}, {"S", "k"}, {"S", "comment"}, {"S", "#hash"}, {"S", ""}},
       false,
       {{"S", ";comment"}, {"S", ";spaced"}, {"NoClose", "after"}, {"S", "after"}}},
      {"a section name ends at the first ]",
       "[sec]whoops]\nk=v\n[open  \nj=w\n",
       {},
       false,
       {{"sec", "k"}, {"open", "j"}, {"sec]whoops", "k"}}},
      {"only spaces go from the names asked for",
       "[S]\nk=v\n",
       {{" S ", " k "}},
       false,
       {{"S\t", "k"}, {"S", "k\v"}, {"S", "\rk\n"}}},
      {"a UTF-8 byte order mark",
       "\xEF\xBB\xBF[VESKAINSTALL]\r\nNewConfig=1\r\n[GUI]\r\nTitle=N\xC3\xBCrburgring\r\n",
       {{"GUI", "Missing"}},
       false,
       // Wine skips the mark and reads the rest as UTF-8.
       {{"VESKAINSTALL", "NewConfig"}, {"GUI", "Title"}}},
      {"UTF-16 LE with its mark",
       Utf16Le(u"[GUI]\r\nTitle=N\u00FCrburgring \u20AC\r\n[S]\r\nk = v\r\n"),
       {{"GUI", "Title"}, {"S", "k"}, {"S", "missing"}}},
      {"LF and CR LF and lone CR",
       "[A]\nx=1\r\ny=2\rz=3\n[B]\r\nw=4",
       {{"A", "x"}, {"A", "y"}, {"A", "z"}, {"B", "w"}}},
      {"long values",
       "[L]\nlong=" + longValue + "\nquoted=\"" + longValue + "\"\n",
       {{"L", "long"}, {"L", "quoted"}}},
      {"inline semicolons and equals",
       "[V]\npath=C:\\Game\\ ; not a comment\nmore=a=b=c\n",
       {{"V", "path"}, {"V", "more"}}},
      {"numbers",
       "[N]\nplain=42\nplus=+7\nminus=-3\nlead= 12abc\nletters=abc\nhex=0x1F\nHEX=0X10\nbig=4294967297\n"
       "neg0=-0\noct=0o17\nbin=0b101\nspace=1 2\nempty=\nzero=0\n",
       {{"N", "plain"}, {"N", "plus"}, {"N", "minus"}, {"N", "lead"}, {"N", "letters"}, {"N", "hex"}, {"N", "big"},
        {"N", "neg0"}, {"N", "oct"}, {"N", "bin"}, {"N", "space"}, {"N", "empty"}, {"N", "zero"}, {"N", "absent"}}},
      {"empty file", "", {{"S", "k"}}},
  };
}

}  // namespace test
}  // namespace trilo
