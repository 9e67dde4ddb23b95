// The package's gdb.txt read by the installer's own reader, and what the
// merge would make of it with the game's database.
#include <map>

#include "check_context.h"
#include "formats/game_database.h"
#include "install/game_database_file.h"
#include "platform/filesystem.h"

namespace trilo {

namespace {

// What the reader met, kept for the report.
class GdbEvents : public GdbReadObserver {
 public:
  struct Item {
    std::string section, name;
    int line;
    bool ok;  // known section, circuit added, value attached
  };
  void SectionOpened(const std::string& name, int line, bool known) override {
    sections.push_back({name, name, line, known});
    open = sections.back();
    inside = true;
  }
  void SectionClosed() override { inside = false; }
  void CircuitListed(const std::string& name, int line, bool added) override {
    circuits.push_back({"", name, line, added});
  }
  void ValueRead(const std::string& section, const std::string& name, int line, bool attached) override {
    values.push_back({section, name, line, attached});
  }
  void ReadFailed(GdbError e, int line) override {
    error = e;
    errorLine = line;
  }

  std::vector<Item> sections, circuits, values;
  Item open;
  bool inside = false;
  GdbError error = GdbError::None;
  int errorLine = 0;
};

std::string Quoted(const std::string& s) { return "`" + s + "`"; }

std::string Stops(GdbError error) { return std::string(": the merge would stop with \"") + GdbErrorText(error) + "\""; }

}  // namespace

void PackageChecker::CheckGameDatabase(VersionRun& run) {
  const InstallSettings& s = conf_.Settings;
  const std::string& file = run.gdbName;
  if (!s.GDB) {
    if (PathExists(file)) Warning(file, 0, "never read: GDB is off in conf.ini");
    return;
  }

  GameDatabase source;
  GdbEvents events;
  const GdbError error = ReadGameDatabaseFile(file, source, &events);
  if (error == GdbError::OpenForReading || error == GdbError::Reading) {
    Error(file, 0, std::string(error == GdbError::OpenForReading ? "missing" : "cannot be read to its end") +
                       ": the merge would stop with \"Couldn't read source game.gdb file\"");
    return;
  }

  const std::vector<std::string> known(std::begin(kGdbSectionNames), std::end(kGdbSectionNames));
  for (const GdbEvents::Item& section : events.sections) {
    if (!section.ok) {
      const std::string near = NearestName(section.name, known);
      Warning(file, section.line, "unknown section " + Quoted(section.name) + ", which the installer skips" +
                                      (near.empty() ? std::string() : ": did you mean " + Quoted(near) + "?"));
    } else if (section.name == kGdbSectionNames[6] && !s.Version2002) {
      Warning(file, section.line, Quoted(section.name) + " is not written into the game's database: Version2002 is off");
    }
  }

  // A value line's name ends at its first blank, so a circuit named with one
  // never gets a value; the words of its name are then no circuit of their own.
  std::map<std::string, int> listed;
  std::vector<std::string> blankNames;
  for (const GdbEvents::Item& circuit : events.circuits) {
    auto first = listed.emplace(circuit.name, circuit.line);
    if (!first.second) {
      Warning(file, circuit.line, "the circuit " + Quoted(circuit.name) + " is listed again (first at line " +
                                      std::to_string(first.first->second) + "): this entry is dropped");
    } else if (circuit.name.find_first_of(" \t") != std::string::npos) {
      blankNames.push_back(circuit.name);
      Warning(file, circuit.line, "the circuit " + Quoted(circuit.name) +
                                      " has a blank in its name: a value line's name ends at its first blank, so no "
                                      "time or setup can ever attach to it");
    }
  }
  for (const GdbEvents::Item& value : events.values) {
    if (value.ok) continue;
    bool wordOfBlankName = false;
    for (const std::string& name : blankNames)
      wordOfBlankName = wordOfBlankName || name.compare(0, value.name.size() + 1, value.name + " ") == 0 ||
                        name.compare(0, value.name.size() + 1, value.name + "\t") == 0;
    if (wordOfBlankName && value.section != kGdbSectionNames[6]) continue;
    auto later = listed.find(value.name);
    if (later != listed.end())
      Warning(file, value.line, Quoted(value.name) + " is listed in SeasonRaces only at line " +
                                    std::to_string(later->second) + ": this line, before it, is dropped");
    else
      Warning(file, value.line, Quoted(value.name) + " is not a circuit of this file's SeasonRaces: this line is dropped");
  }

  switch (error) {
    case GdbError::None: break;
    case GdbError::UnexpectedEnd:
      if (events.inside) {
        std::vector<std::pair<std::string, int>> entries;
        for (const GdbEvents::Item& circuit : events.circuits) entries.push_back({circuit.name, circuit.line});
        UnclosedBlock(file, {events.open.name, events.open.line}, events.errorLine, entries, Stops(error));
      }
      else
        Error(file, events.errorLine, "the file ends in a section name that has no \"{\"" + Stops(error));
      return;
    case GdbError::TooManyCircuits:
      Error(file, events.errorLine, "more than " + std::to_string(GameDatabase::kMaxCircuits) + " circuits" + Stops(error));
      return;
    case GdbError::SectionTooLong:
      Error(file, events.errorLine, "this block is longer than " + std::to_string(BlockText::kMaxLength) +
                                        " characters" + Stops(error));
      return;
    default:
      Error(file, events.errorLine, GdbErrorText(error));
      return;
  }
  if (!run.ready) return;

  const InstallState& st = run.app.State;
  const std::string database = run.app.GameFile(st.TOPDIR + st.OLDSEASONDIR + "game.gdb");
  if (!GetFileStatus(database).exists) {
    Error(Show(database), 0, "missing: the merge would stop with \"Failed to back up old game.gdb file\"");
    return;
  }
  GameDatabase installed;
  const GdbError gameError = ReadGameDatabaseFile(database, installed);
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
      Warning(file, listed[circuit.Name],
              "the circuit " + Quoted(circuit.Name) + " is in the game's database already: the merge skips it");
      run.plan.push_back("    circuit skipped  " + circuit.Name + " (the game has it)");
    } else {
      ++adding;
      run.plan.push_back("    circuit added    " + circuit.Name);
    }
  }
  if (installed.Merge(source) != GdbError::None)
    Error(file, 0, "the game's " + std::to_string(gameCircuits) + " circuits and the " + std::to_string(adding) +
                       " this file adds make more than " + std::to_string(GameDatabase::kMaxCircuits) +
                       Stops(GdbError::TooManyCircuits));
}

}  // namespace trilo
