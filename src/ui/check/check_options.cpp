#include "check_options.h"

#include "text/code_page.h"

namespace trilo {

const char kCheckUsage[] =
    "Usage: trilo-check [--package-version NAME] [--game-exe PATH] [--config PATH]\n"
    "                   [--player PATH] [--dry-run]"
#ifndef _WIN32
    " [--code-page N]"
#endif
    " [PACKAGE_DIR]\n"
    "       trilo-check --help | --version\n"
    "\n"
    "Checks the package in PACKAGE_DIR (default: the current folder) as the\n"
    "installer would read it, and against the game when one is given or found.\n"
    "It writes nothing and runs no command.\n"
    "\n"
    "  --package-version NAME  check only this version (default: every one)\n"
#ifdef _WIN32
    "  --game-exe PATH         the game executable (default: the registry's game)\n"
#else
    "  --game-exe PATH         the game executable (default: the game in the Wine\n"
    "                          prefix's registry, $WINEPREFIX or ~/.wine)\n"
#endif
    "  --config PATH           the game configuration file to start from (default:\n"
    "                          conf.ini's ConfigPattern beside the executable)\n"
    "  --player PATH           the player file (.PLR) a new player is made from\n"
    "  --dry-run               also show what the install would do\n"
#ifndef _WIN32
    "  --code-page N           the Windows code page the players' systems read the\n"
    "                          package's text in (1252, 1251, 932...); by default\n"
    "                          the one Wine takes from the locale (LC_ALL, LC_CTYPE,\n"
    "                          LANG)\n"
#endif
    "\n"
    "Each finding is a line FILE:LINE: error: TEXT or FILE:LINE: warning: TEXT\n"
    "(FILE: error: TEXT when no line applies); the last lines name the code page\n"
    "and count them.\n"
    "Exit status: 0 no error, 1 errors, 64 bad usage.\n";

bool ParseCheckOptions(int argc, char** argv, CheckOptions& o, std::string& error) {
  bool hasDir = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool hasInline = false;
    const size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      hasInline = true;
    }
    auto takeValue = [&](std::string& out) {
      if (hasInline) out = value;
      else if (i + 1 < argc) out = argv[++i];
      else {
        error = "option " + arg + " needs a value";
        return false;
      }
      return true;
    };
    if (arg == "--help" && !hasInline) {
      o.help = true;
    } else if (arg == "--version" && !hasInline) {
      o.version = true;
    } else if (arg == "--dry-run" && !hasInline) {
      o.dryRun = true;
    } else if (arg == "--package-version") {
      if (!takeValue(o.packageVersion)) return false;
      o.hasVersion = true;
    } else if (arg == "--game-exe") {
      if (!takeValue(o.gameExe)) return false;
    } else if (arg == "--config") {
      if (!takeValue(o.config)) return false;
    } else if (arg == "--player") {
      if (!takeValue(o.player)) return false;
#ifndef _WIN32
    } else if (arg == "--code-page") {
      std::string number;
      if (!takeValue(number)) return false;
      if (!ParseCodePageNumber(number, o.codePage)) {
        error = "--code-page needs a code page number, not \"" + number + "\"";
        return false;
      }
#endif
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown argument: " + std::string(argv[i]);
      return false;
    } else if (hasDir) {
      error = "one package folder only: " + std::string(argv[i]);
      return false;
    } else {
      o.packageDir = argv[i];
      hasDir = true;
    }
  }
  return true;
}

}  // namespace trilo
