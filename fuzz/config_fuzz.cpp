// Runs the installer's configuration start-up over arbitrary bytes as the
// package's "conf.ini", in a folder of its own. Beyond crashes, hangs and
// sanitizer reports it checks what the dialogs and the steps rely on: the
// version list holds at most 256 names, none empty; no value is longer than
// its buffer; a missing ConfigName stops the reading with its message and
// leaves the later values unread; and the values agree with the same bytes
// asked directly of the INI reader.
#include <cstdint>
#include <string>
#include <vector>

#include "formats/ini_reader.h"
#include "fuzz_support.h"
#include "install/installer_app.h"
#include "platform/profile.h"

namespace {

using trilo::fuzz::Check;

const char kTarget[] = "config_fuzz";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const trilo::fuzz::InPrivateFolder in;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  trilo::fuzz::WriteWholeFile("conf.ini", bytes);

  trilo::SilentInteraction ui;
  trilo::InstallerApp app(ui);
  app.StartUp();
  const trilo::InstallSettings& s = app.Settings;
  // As the profile functions read it: a file that starts with FF FE is UTF-16.
  const trilo::IniText ini(trilo::ReadProfileText(app.WorkingDir + "conf.ini"));

  Check(!app.WorkingDir.empty() && app.WorkingDir.back() == '\\', kTarget, "the package folder lacks its separator");
  Check(s.VersionList.size() <= 256, kTarget, "more versions than the list holds");
  for (size_t i = 0; i < s.VersionList.size(); ++i) {
    Check(!s.VersionList[i].empty() && s.VersionList[i].size() <= 1023, kTarget, "a version name out of bounds");
    Check(s.VersionList[i] == ini.GetString("VESKAINSTALL", "Version" + std::to_string(i), "", 1024), kTarget,
          "a version differs from the file's");
  }
  for (const std::string* text : {&s.PreInstall, &s.PostInstall, &s.ConfigName, &s.SeasonDir, &s.DriversDir,
                                  &s.IconFile, &s.Desc, &s.ConfigString, &s.ConfigPattern, &s.Title, &s.SplashImg})
    Check(text->size() <= 1023, kTarget, "a value longer than its buffer");
  Check(s.NewConfig == ini.GetInt("VESKAINSTALL", "NewConfig", 0) && s.GDB == ini.GetInt("VESKAINSTALL", "GDB", 0) &&
            s.PreInstall == ini.GetString("VESKAINSTALL", "PreInstall", "", 1024),
        kTarget, "a value differs from the file's");

  const bool stopped = s.NewConfig && s.ConfigName.empty();
  if (stopped) {
    Check(ui.messages == std::vector<std::string>{"Couldn't get new config file name from conf.ini"}, kTarget,
          "a missing ConfigName without its message");
    Check(s.Title.empty() && s.Desc == "Please Rename Me" && s.SplashDelay == 3000 && s.SeasonDir.empty(), kTarget,
          "values after a missing ConfigName were read");
    return 0;
  }
  Check(ui.messages.empty(), kTarget, "a message without a missing ConfigName");
  if (!s.NewConfig) Check(s.ConfigName.empty() && s.SeasonDir.empty(), kTarget, "folders read without NewConfig");
  if (!s.NewShortcut) Check(s.Desc == "Please Rename Me", kTarget, "Desc read without NewShortcut");
  Check(s.Title == ini.GetString("GUI", "Title", "Trilo Installer", 1024) &&
            s.SplashDelay == ini.GetInt("GUI", "SplashDelay", 3000),
        kTarget, "a value of the GUI section differs from the file's");
  return 0;
}
