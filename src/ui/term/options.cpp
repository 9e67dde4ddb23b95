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

namespace {

// One argument as it was given: "--name=value" split at its "=".
struct Argument {
  std::string name, value;
  bool hasInline = false;
};

Argument SplitArgument(const std::string& arg) {
  const size_t eq = arg.find('=');
  if (arg.rfind("--", 0) == 0 && eq != std::string::npos) return {arg.substr(0, eq), arg.substr(eq + 1), true};
  return {arg, std::string(), false};
}

// The argv entries still to read, from the one at hand.
class ArgumentReader {
 public:
  ArgumentReader(int argc, char** argv) : argc_(argc), argv_(argv) {}
  bool More() const { return i_ + 1 < argc_; }
  const char* Next() { return argv_[++i_]; }
  const char* Peek() const { return argv_[i_ + 1]; }
  const char* Current() const { return argv_[i_]; }
  bool Advance() { return ++i_ < argc_; }

 private:
  int argc_;
  char** argv_;
  int i_ = 0;
};

// The value of an option, inline or the next argument.
bool TakeValue(const Argument& a, ArgumentReader& args, std::string& out, bool* seen, std::string& error) {
  if (a.hasInline) {
    out = a.value;
  } else if (args.More()) {
    out = args.Next();
  } else {
    error = "option " + a.name + " needs a value";
    return false;
  }
  if (seen) *seen = true;
  return true;
}

bool ParseCodePage(const std::string& number, TermOptions& o, std::string& error) {
  if (ParseCodePageNumber(number, o.codePage)) return true;
  error = "--code-page needs a code page number, not \"" + number + "\"";
  return false;
}

// The flags that take no value; false when `a` is none of them.
bool TakeFlag(const Argument& a, TermOptions& o) {
  if (a.hasInline) return false;
  bool* flag = a.name == "--unattended"      ? &o.unattended
               : a.name == "--help"          ? &o.help
               : a.name == "--version"       ? &o.version
               : a.name == "--list-installs" ? &o.listInstalls
               : a.name == "--force"         ? &o.force
                                             : nullptr;
  if (flag) *flag = true;
  return flag != nullptr;
}

bool TakeUndo(const Argument& a, ArgumentReader& args, TermOptions& o, std::string& error) {
  o.undo = true;
  // The name is optional: a word that is no option is it.
  if (a.hasInline) o.undoName = a.value;
  else if (args.More() && args.Peek()[0] != '-') o.undoName = args.Next();
  if (!o.undoName.empty()) return true;
  error = "option --undo needs a name or none";
  return false;
}

// One argument into `o`; false with `error` set on bad usage.
bool TakeArgument(ArgumentReader& args, TermOptions& o, std::string& error) {
  const Argument a = SplitArgument(args.Current());
  if (a.name == "-C") return TakeValue(a, args, o.directory, nullptr, error);
  if (a.name.rfind("-C", 0) == 0 && a.name.size() > 2) {
    o.directory = a.name.substr(2);
    return true;
  }
  if (TakeFlag(a, o)) return true;
  if (a.name == "--undo") return TakeUndo(a, args, o, error);
  if (a.name == "--game-exe") return TakeValue(a, args, o.gameExe, &o.hasGameExe, error);
  if (a.name == "--config") return TakeValue(a, args, o.config, &o.hasConfig, error);
  if (a.name == "--player") return TakeValue(a, args, o.player, &o.hasPlayer, error);
  if (a.name == "--package-version") return TakeValue(a, args, o.packageVersion, &o.hasVersion, error);
  if (a.name == "--code-page") {
    std::string number;
    return TakeValue(a, args, number, nullptr, error) && ParseCodePage(number, o, error);
  }
  error = "unknown argument: " + std::string(args.Current());
  return false;
}

// Options that go together, checked once all are read.
bool CheckCombination(const TermOptions& o, std::string& error) {
  if (o.listInstalls && o.undo) error = "--list-installs and --undo go alone";
  else if ((o.listInstalls || o.undo) && (o.hasConfig || o.hasPlayer || o.hasVersion))
    error = "--config, --player and --package-version are for installing";
  else if (o.force && !o.undo) error = "--force goes with --undo";
  else return true;
  return false;
}

}  // namespace

bool ParseTermOptions(int argc, char** argv, TermOptions& o, std::string& error) {
  ArgumentReader args(argc, argv);
  while (args.Advance())
    if (!TakeArgument(args, o, error)) return false;
  return CheckCombination(o, error);
}

}  // namespace trilo
