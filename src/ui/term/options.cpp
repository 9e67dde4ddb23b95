#include "options.h"

#include <cstdlib>
#include <cstring>

#include "text/code_page.h"

namespace trilo {

const char kTermUsage[] =
    "Usage: trilo-setup [-C DIR] [--unattended] [--game-exe PATH] [--config PATH]\n"
    "                   [--player PATH] [--package-version NAME] [--code-page N]\n"
    "       trilo-setup --list-installs [--game-exe PATH]\n"
    "       trilo-setup --undo [NAME|last] [--game-exe PATH] [--unattended] [--force]\n"
    "       trilo-setup --help | --version\n"
    "\n"
    "Installs the package in the current folder (or DIR) into the game.\n"
    "\n"
    "  -C DIR                  change into DIR, the package folder, first\n"
    "  --unattended            ask nothing: each question takes its flag, else the\n"
    "                          proposed path; the version is --package-version, else\n"
    "                          the only one\n"
    "  --game-exe PATH         the game executable (f1_9902.exe)\n"
    "  --config PATH           the game configuration file to start from\n"
    "  --player PATH           the player file (.PLR) to use as a template\n"
    "  --package-version NAME  the version of the package to install\n"
    "  --code-page N           the Windows code page of the package's and the game's\n"
    "                          text (1252, 1251, 932...); by default the one Wine\n"
    "                          takes from the locale (LC_ALL, LC_CTYPE, LANG)\n"
    "\n"
    "Each install is recorded in the game folder, in trilo-records: what it made\n"
    "and a copy of every file it replaced.\n"
    "  --list-installs         lists the recorded installs, newest first\n"
    "  --undo [NAME|last]      takes back the newest install, or the one NAME\n"
    "                          names (its number or its folder in trilo-records)\n"
    "  --force                 with --undo, also takes back files changed since\n"
    "\n"
    "Interactively, Enter accepts the proposal shown in brackets, a typed path\n"
    "replaces it (Tab completes), and Ctrl-D cancels the question.\n"
    "Exit status: 0 installed, 1 a step failed, 2 cancelled, 3 options error\n"
    "(unattended), 4 installed but not everything (files that could not be\n"
    "copied, a shortcut that could not be saved: see the messages), 64 bad usage;\n"
    "of --undo: 0 undone, 1 failed, 2 cancelled.\n"
    "\n"
    "To check a package without installing it, run trilo-check (see\n"
    "trilo-check --help).\n";

bool ParseTermOptions(int argc, char** argv, TermOptions& o, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool hasInline = false;
    size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      hasInline = true;
    }
    auto takeValue = [&](std::string& out, bool* seen) {
      if (hasInline) {
        out = value;
      } else if (i + 1 < argc) {
        out = argv[++i];
      } else {
        error = "option " + arg + " needs a value";
        return false;
      }
      if (seen) *seen = true;
      return true;
    };
    if (arg == "-C") {
      if (!takeValue(o.directory, nullptr)) return false;
    } else if (arg.rfind("-C", 0) == 0 && arg.size() > 2 && arg[1] == 'C') {
      o.directory = arg.substr(2);
    } else if (arg == "--unattended" && !hasInline) {
      o.unattended = true;
    } else if (arg == "--help" && !hasInline) {
      o.help = true;
    } else if (arg == "--version" && !hasInline) {
      o.version = true;
    } else if (arg == "--list-installs" && !hasInline) {
      o.listInstalls = true;
    } else if (arg == "--undo") {
      o.undo = true;
      // The name is optional: a word that is no option is it.
      if (hasInline) o.undoName = value;
      else if (i + 1 < argc && argv[i + 1][0] != '-') o.undoName = argv[++i];
      if (o.undoName.empty()) {
        error = "option --undo needs a name or none";
        return false;
      }
    } else if (arg == "--force" && !hasInline) {
      o.force = true;
    } else if (arg == "--game-exe") {
      if (!takeValue(o.gameExe, &o.hasGameExe)) return false;
    } else if (arg == "--config") {
      if (!takeValue(o.config, &o.hasConfig)) return false;
    } else if (arg == "--player") {
      if (!takeValue(o.player, &o.hasPlayer)) return false;
    } else if (arg == "--package-version") {
      if (!takeValue(o.packageVersion, &o.hasVersion)) return false;
    } else if (arg == "--code-page") {
      std::string number;
      if (!takeValue(number, nullptr)) return false;
      if (!ParseCodePageNumber(number, o.codePage)) {
        error = "--code-page needs a code page number, not \"" + number + "\"";
        return false;
      }
    } else {
      error = "unknown argument: " + std::string(argv[i]);
      return false;
    }
  }
  if (o.listInstalls && o.undo) {
    error = "--list-installs and --undo go alone";
    return false;
  }
  if ((o.listInstalls || o.undo) && (o.hasConfig || o.hasPlayer || o.hasVersion)) {
    error = "--config, --player and --package-version are for installing";
    return false;
  }
  if (o.force && !o.undo) {
    error = "--force goes with --undo";
    return false;
  }
  return true;
}

}  // namespace trilo
