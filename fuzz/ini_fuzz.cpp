// Feeds arbitrary bytes to the INI reader as a profile file and asks it for
// the keys the installer reads, and for sections and keys named in the
// bytes themselves. Beyond crashes, hangs and sanitizer reports it checks
// what the callers rely on: a value never exceeds its buffer, a shorter
// buffer gives the start of the same value, whether a key is found does not
// depend on the default, and a missing key gives the default.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "formats/ini_reader.h"
#include "fuzz_support.h"

namespace {

using trilo::fuzz::Check;

const char kTarget[] = "ini_fuzz";

// The installer's own questions.
const std::pair<const char*, const char*> kKnown[] = {
    {"VESKAINSTALL", "NewConfig"}, {"VESKAINSTALL", "PreInstall"}, {"VESKAINSTALL", "Version0"},
    {"VESKACONFIG", "ConfigName"}, {"VESKASHORTCUT", "Desc"},       {"GUI", "Title"},
    {"GUI", "SplashDelay"},        {"COMPONENTS", "SEASONDIR"},     {"", ""},
};

// Up to a few section names and keys as the bytes spell them, blanks and all.
void NamesIn(const std::string& bytes, std::vector<std::string>& sections, std::vector<std::string>& keys) {
  size_t pos = 0;
  while (pos < bytes.size() && sections.size() + keys.size() < 8) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(pos, end - pos);
    const size_t open = line.find('['), close = line.rfind(']');
    if (open != std::string::npos && close != std::string::npos && close > open)
      sections.push_back(line.substr(open + 1, close - open - 1));
    const size_t eq = line.find('=');
    if (eq != std::string::npos) keys.push_back(line.substr(0, eq));
    pos = end + 1;
  }
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.size() >= start.size() && text.compare(0, start.size(), start) == 0;
}

void Ask(const trilo::IniText& ini, const std::string& section, const std::string& key) {
  const std::string withD = ini.GetString(section, key, "d", 1024);
  const std::string withE = ini.GetString(section, key, "e", 1024);
  Check(withD == withE || (withD == "d" && withE == "e"), kTarget, "the default changes a value that was found");
  Check(withD.size() <= 1023, kTarget, "a value longer than its buffer");
  const bool found = withD == withE;
  for (size_t buffer : {size_t(1), size_t(2), size_t(7), size_t(30)}) {
    const std::string cut = ini.GetString(section, key, "d", buffer);
    Check(cut.size() <= buffer - 1, kTarget, "a value longer than its buffer");
    // Cut short, a quoted value keeps its closing quote if it reaches it.
    Check(StartsWith(withD, cut) || StartsWith(withD + '"', cut) || StartsWith(withD + '\'', cut), kTarget,
          "a shorter buffer gives another value");
  }
  Check(ini.GetString(section, key, "d", 0).empty(), kTarget, "a value in a buffer of no bytes");
  const int number = ini.GetInt(section, key, 12345);
  if (!found || withD.empty()) Check(number == 12345, kTarget, "a missing number does not give its default");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const trilo::IniText ini(bytes);
  for (const auto& known : kKnown) Ask(ini, known.first, known.second);

  std::vector<std::string> sections, keys;
  NamesIn(bytes, sections, keys);
  for (const std::string& section : sections)
    for (const std::string& key : keys) Ask(ini, section, key);
  for (const std::string& key : keys) Ask(ini, "", key);

  trilo::ProfileTextToInt(bytes);
  return 0;
}
