#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formats/block_text.h"

namespace trilo {

/// Why reading, merging or writing a game database failed. Each has the
/// fixed message the merge step shows (GdbErrorText).
enum class GdbError {
  None,
  OpenForReading,   ///< the file cannot be opened for reading
  Reading,          ///< a read failed midway
  UnexpectedEnd,    ///< the input ends inside a section
  TooManyCircuits,  ///< more circuits than the table holds
  SectionTooLong,   ///< a block longer than BlockText holds
  OpenForWriting,   ///< the file cannot be created or replaced
  Writing,          ///< a write failed midway; the old file is kept
};

/// The message of a failure; "" for None.
const char* GdbErrorText(GdbError error);

/// The eight sections the reader knows, spelled as the game spells them;
/// any other section is stepped over.
extern const char* const kGdbSectionNames[8];

/// One circuit: an entry of "SeasonRaces" with the values and folder actions
/// the other sections give for its name. An empty value means no line.
struct CircuitEntry {
  std::string Name;
  /// Shared, so that a merged entry takes its block along without a copy.
  std::shared_ptr<const BlockText> RaceBlock;
  std::string RaceTimes;
  std::string QualifyTimes;
  std::string AIRaceSetup;
  std::string AIQualSetup;
  std::string FolderCreateActions;
};

/// What the reader meets, each with the line it begins on (LF ends a line):
/// for tools that report on a file exactly as the reader takes it. Every
/// call does nothing unless overridden.
class GdbReadObserver {
 public:
  virtual ~GdbReadObserver() = default;
  /// A header and its "{"; `known` is false for a section stepped over whole.
  virtual void SectionOpened(const std::string& /*name*/, int /*line*/, bool /*known*/) {}
  /// The "}" that ends the section opened last.
  virtual void SectionClosed() {}
  /// An entry of "SeasonRaces"; `added` is false when the name is taken.
  virtual void CircuitListed(const std::string& /*name*/, int /*line*/, bool /*added*/) {}
  /// A value line, or a block of "Circuit_Settings_Folder_Create_Actions";
  /// `attached` is false when no circuit of that name was listed before it.
  virtual void ValueRead(const std::string& /*section*/, const std::string& /*name*/, int /*line*/,
                         bool /*attached*/) {}
  /// A comment ("//" to the line's end), which the reader removes.
  virtual void CommentRead(int /*line*/) {}
  /// The read failed at the item that begins on `line`.
  virtual void ReadFailed(GdbError /*error*/, int /*line*/) {}
};

/// The game's "game.gdb" in memory, with its reader, merge and writer.
///
/// The reader keeps the two scoring sections and each circuit's block as
/// they stand (comments removed) and attaches the value lines and folder
/// actions to circuits already listed; everything else of a file is dropped.
/// Input is text: CR LF reads as LF, every other byte is a character.
///
/// A value line's name ends at its first blank or "=", but where the text
/// up to the line's "=" is the name of a circuit already listed, blanks
/// included, that longer name is taken: every value line the writer writes
/// for a name without "=" or a line end reads back as written.
class GameDatabase {
 public:
  static constexpr int kMaxCircuits = 1000;

  GameDatabase() = default;
  GameDatabase(const GameDatabase&) = delete;
  GameDatabase& operator=(const GameDatabase&) = delete;

  BlockText DefaultScoring;
  BlockText SeasonScoringInfo;

  /// The entries in use, in the order they were added.
  const std::vector<CircuitEntry>& Circuits() const { return circuits_; }
  int CircuitCount() const { return static_cast<int>(circuits_.size()); }

  /// The entry whose name is exactly `name` (case included), or null.
  CircuitEntry* Find(const std::string& name);
  const CircuitEntry* Find(const std::string& name) const;
  /// Appends an entry; false when the table is full or the name is taken.
  bool AddCircuit(CircuitEntry entry);

  /// Reads the bytes of one file, as they stand on disk, into the database
  /// (adding to what it holds). Fails when the text ends inside a section
  /// or overflows a table. An observer, when given, is told what was read.
  GdbError ReadString(std::string_view text, GdbReadObserver* observer = nullptr);
  /// The same, taking the text over: CR LF is turned into LF in its own
  /// room, so a large file costs no second copy.
  GdbError ReadOwnedString(std::string&& text, GdbReadObserver* observer = nullptr);

  /// Takes over every circuit of `source` whose name this database lacks,
  /// in the source's order. Nothing is taken when they would not fit.
  GdbError Merge(const GameDatabase& source);

  /// The database in the game's layout, with CR LF line ends; the folder
  /// actions section only with `folderActions`.
  std::string WriteString(bool folderActions) const;

 private:
  enum class Header { Found, EndOfInput, Failed };

  /// Where the reader stands, named after the place in the file.
  enum class ReaderState {
    BetweenSections,
    InDefaultScoring,
    BeforeRaceEntry,  ///< in "SeasonRaces", where an entry or its "}" comes
    AtRaceEntry,
    InRaceTimes,
    InQualifyTimes,
    InAIRaceSetup,
    InAIQualSetup,
    BeforeFolderEntry,  ///< in "Circuit_Settings_Folder_Create_Actions"
    AtFolderEntry,
    InSeasonScoringInfo,
  };

  /// Appends an entry whose name is not taken yet.
  void Append(CircuitEntry entry);
  bool Fail(GdbError failure);

  // The sections, one step per state.
  bool ParseSections();
  Header ReadSectionHeader();
  bool ReadScoringSection(BlockText& target);
  void StepBeforeEntry(ReaderState entry);
  bool ReadRaceEntry();
  bool ReadFolderEntry();
  void SectionClosed();

  // Input, below the grammar.
  void SetInput(std::string_view text);
  void UseTranslated();
  GdbError Read(GdbReadObserver* observer);

  // The reader's steps.
  int LineHere();
  int ReadByte();
  void StepBack();
  int ReadChar();
  void SkipBlanks();
  bool AtBlockEnd();
  Header ReadHeader(std::string& header);
  bool ReadBlockText(BlockText& target);
  bool ReadVerbatimBlock(std::string* text);
  bool ReadEntry(std::string& name, std::string& value);
  bool TakeNameWithBlanks(std::string& name, char blank);
  bool ReadValue(std::string& value);
  bool ReadValueSection(const std::string& section, std::string CircuitEntry::*field);

  template <typename Keep>
  bool ReadBraced(Keep keep);

  class Sink;
  void WriteSections(Sink& sink, bool folderActions) const;

  std::vector<CircuitEntry> circuits_;
  std::unordered_map<std::string, std::size_t> index_;  // name to place in circuits_
  ReaderState ParseState = ReaderState::BetweenSections;

  // The whole input, CR LF already turned into LF: a view of the caller's
  // text when it holds no CR, else of `translated_`. Positions past
  // BufferFill stand for the end indication handed out, so that a step back
  // after it gives the end again.
  const char* Buffer = nullptr;
  std::size_t BufferPos = 0;
  std::size_t BufferFill = 0;
  std::string translated_;
  std::string scratch_;  // the block being read
  int steppedBack_ = 0;  // bytes given back and not yet read again, at most 2
  GdbError failure_ = GdbError::None;
  GdbReadObserver* observer_ = nullptr;
  std::size_t linePos_ = 0;  // where lineAtPos_ was counted
  int lineAtPos_ = 1;
  int itemLine_ = 1;  // where the header or value line being read begins
};

}  // namespace trilo
