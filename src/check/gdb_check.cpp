// The package's gdb.txt read by the installer's own reader, and what the
// merge would make of it with the game's database: what it adds, and what
// the rewrite of the game's file leaves out.
#include "check_context.h"
#include "formats/gdb_drops.h"
#include "install/game_database_file.h"
#include "platform/filesystem.h"

namespace trilo {

namespace {

std::string Quoted(const std::string& s) { return "`" + s + "`"; }

std::string Stops(GdbError error) { return std::string(": the merge would stop with \"") + GdbErrorText(error) + "\""; }

bool IsScoring(const GdbDrop& drop) { return drop.name == drop.section && drop.kind == GdbDropKind::Replaced; }

// A drop as a finding says it.
std::string DropFinding(const GdbDrop& drop, bool gameFile) {
  const std::string name = Quoted(drop.name), other = std::to_string(drop.other);
  switch (drop.kind) {
    case GdbDropKind::ValueLine:
    case GdbDropKind::SettingsBlock:
      if (drop.other) return name + " is listed in SeasonRaces only at line " + other + ": this line, before it, is dropped";
      return name + " is not a circuit of this file's SeasonRaces: this line is dropped";
    case GdbDropKind::RepeatedCircuit:
      return "the circuit " + name + " is listed again (first at line " + other + "): this entry is dropped";
    case GdbDropKind::UnknownSection:
      return "unknown section " + name + ", which the installer skips" + (gameFile ? ": the rewrite drops it" : "");
    case GdbDropKind::Replaced:
      if (IsScoring(drop)) return name + " is given again at line " + other + ", whose text replaces this one: it is dropped";
      return name + " is given again in " + Quoted(drop.section) + " at line " + other + ": this line is dropped";
    case GdbDropKind::FolderActions:
      return name + " is not written into the game's database: Version2002 is off";
  }
  return name;
}

// A drop as one line of the plan says it.
std::string DropPlan(const GdbDrop& drop) {
  const std::string at = "line " + std::to_string(drop.line) + ": ", name = Quoted(drop.name);
  switch (drop.kind) {
    case GdbDropKind::ValueLine: return at + "value line " + name + " of " + drop.section + ", no such circuit";
    case GdbDropKind::SettingsBlock: return at + "settings block " + name + ", no such circuit";
    case GdbDropKind::RepeatedCircuit: return at + "second entry of the circuit " + name;
    case GdbDropKind::UnknownSection: return at + "unknown section " + name;
    case GdbDropKind::Replaced:
      return at + (IsScoring(drop) ? "section " + name : "value " + name + " of " + drop.section) +
             ", replaced by line " + std::to_string(drop.other);
    case GdbDropKind::FolderActions: return at + "section " + name + " (Version2002 is off)";
  }
  return at + name;
}

std::string CommentLines(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " comment line is" : " comment lines are") + " not kept";
}

}  // namespace

void PackageChecker::CheckGameDatabase(VersionRun& run) {
  const InstallSettings& s = conf_.Settings;
  const std::string& file = run.gdbName;
  if (!s.GDB) {
    if (PathExists(file)) Warning(file, 0, "never read: GDB is off in conf.ini");
    return;
  }
  GameDatabase source;
  GdbDropFinder found(s.Version2002 != 0);
  const GdbError error = ReadGameDatabaseFile(file, source, &found);
  if (error == GdbError::OpenForReading || error == GdbError::Reading) {
    Error(file, 0, std::string(error == GdbError::OpenForReading ? "missing" : "cannot be read to its end") +
                       ": the merge would stop with \"Couldn't read source game.gdb file\"");
    return;
  }
  ReportGdbDrops(file, found, false);
  if (error != GdbError::None) {
    ReportGdbFailure(file, error, found);
    return;
  }
  if (run.ready) CheckMerge(run, source, found);
}

void PackageChecker::ReportGdbDrops(const std::string& file, const GdbDropFinder& found, bool gameFile) {
  const std::vector<std::string> known(std::begin(kGdbSectionNames), std::end(kGdbSectionNames));
  for (const GdbDrop& drop : found.Drops()) {
    std::string text = DropFinding(drop, gameFile);
    const std::string near = drop.kind == GdbDropKind::UnknownSection && !gameFile ? NearestName(drop.name, known) : "";
    if (!near.empty()) text += ": did you mean " + Quoted(near) + "?";
    Warning(file, drop.line, text);
  }
  for (const auto& unfit : found.UnfitNames())
    Warning(file, unfit.second, "the circuit " + Quoted(unfit.first) +
                                    " has \"=\" or a line end in its name: no value line can ever attach to it");
  if (gameFile && !found.CommentLines().empty())
    Warning(file, found.CommentLines().front(), CommentLines(found.CommentLines().size()));
}

void PackageChecker::ReportGdbFailure(const std::string& file, GdbError error, const GdbDropFinder& found) {
  const int line = found.ErrorLine();
  switch (error) {
    case GdbError::UnexpectedEnd:
      if (found.Inside())
        UnclosedBlock(file, {found.OpenSection(), found.OpenLine()}, line, found.Entries(), Stops(error));
      else
        Error(file, line, "the file ends in a section name that has no \"{\"" + Stops(error));
      return;
    case GdbError::TooManyCircuits:
      Error(file, line, "more than " + std::to_string(GameDatabase::kMaxCircuits) + " circuits" + Stops(error));
      return;
    case GdbError::SectionTooLong:
      Error(file, line, "this block is longer than " + std::to_string(BlockText::kMaxLength) + " characters" +
                            Stops(error));
      return;
    default:
      Error(file, line, GdbErrorText(error));
      return;
  }
}

// The game's database as the merge step finds it, named as the installer
// writes paths, relative to the game folder.
void PackageChecker::CheckMerge(VersionRun& run, const GameDatabase& source, const GdbDropFinder& sourceFound) {
  const std::string& file = run.gdbName;
  const InstallState& st = run.app.State;
  const std::string gameFile = st.OLDSEASONDIR + "game.gdb";
  const std::string database = run.app.GameFile(st.TOPDIR + gameFile);
  if (!GetFileStatus(database).exists) {
    Error(Show(database), 0, "missing: the merge would stop with \"Failed to back up old game.gdb file\"");
    return;
  }
  GameDatabase installed;
  GdbDropFinder found(conf_.Settings.Version2002 != 0);
  const GdbError gameError = ReadGameDatabaseFile(database, installed, &found);
  if (gameError != GdbError::None) {
    Error(Show(database), 0, std::string("the game's database cannot be read (\"") + GdbErrorText(gameError) +
                                 "\"): the merge would stop with \"Couldn't read old game.gdb file\"");
    return;
  }
  run.plan.push_back("  game database      " + Show(database) + "  (backed up as game.gdb.bak)");
  const int gameCircuits = installed.CircuitCount();
  int adding = 0;
  for (const CircuitEntry& circuit : source.Circuits()) {
    if (installed.Find(circuit.Name)) {
      Warning(file, sourceFound.ListedAt(circuit.Name),
              "the circuit " + Quoted(circuit.Name) + " is in the game's database already: the merge skips it");
      run.plan.push_back("    circuit skipped  " + circuit.Name + " (the game has it)");
    } else {
      ++adding;
      run.plan.push_back("    circuit added    " + circuit.Name);
    }
  }
  if (installed.Merge(source) != GdbError::None) {
    Error(file, 0, "the game's " + std::to_string(gameCircuits) + " circuits and the " + std::to_string(adding) +
                       " this file adds make more than " + std::to_string(GameDatabase::kMaxCircuits) +
                       Stops(GdbError::TooManyCircuits));
    return;
  }
  if (adding == 0)
    Warning(file, 0, "the merge adds no circuit, yet the game's " + Quoted(gameFile) + " is rewritten all the same");
  ReportGdbDrops(gameFile, found, true);
  for (const GdbDrop& drop : found.Drops()) run.plan.push_back("    dropped: " + DropPlan(drop));
  if (!found.CommentLines().empty()) run.plan.push_back("    dropped: " + CommentLines(found.CommentLines().size()));
}

}  // namespace trilo
