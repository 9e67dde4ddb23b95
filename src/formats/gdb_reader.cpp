#include <algorithm>
#include <cstdint>
#include <cstring>

#include "formats/game_database.h"
#include "text/line_reader.h"
#include "text/text_util.h"

namespace trilo {

namespace {

constexpr int kEnd = -1;  // the end of the input, never a character

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\n'; }

// Where in [from, end) the first brace or "/" stands (or `end`): the bytes
// inside a block that the reader must look at one by one. Eight bytes at a
// time, as a word in which each such byte is flagged.
std::size_t SkipPlain(const char* text, std::size_t from, std::size_t end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  auto flagged = [](std::uint64_t word, unsigned char c) {
    const std::uint64_t x = word ^ (kOnes * c);
    return (x - kOnes) & ~x & kHighs;  // the high bit of each byte equal to c
  };
  std::size_t at = from;
  for (; at + 8 <= end; at += 8) {
    std::uint64_t word;
    std::memcpy(&word, text + at, 8);
    if (flagged(word, '{') | flagged(word, '}') | flagged(word, '/')) break;
  }
  while (at < end && text[at] != '{' && text[at] != '}' && text[at] != '/') ++at;
  return at;
}

}  // namespace

const char* const kGdbSectionNames[8] = {
    "DefaultScoring",
    "SeasonRaces",
    "F1_Circuit_Race_Times",
    "F1_Circuit_Qualify_Times",
    "F1_Circuit_AI_Race_Setup_Wetness00",
    "F1_Circuit_AI_Qual_Setup_Wetness00",
    "Circuit_Settings_Folder_Create_Actions",
    "SeasonScoringInfo",
};

GdbError GameDatabase::ReadString(std::string_view text, GdbReadObserver* observer) {
  SetInput(text);
  return Read(observer);
}

GdbError GameDatabase::ReadOwnedString(std::string&& text, GdbReadObserver* observer) {
  translated_ = std::move(text);
  UseTranslated();
  return Read(observer);
}

GdbError GameDatabase::Read(GdbReadObserver* observer) {
  ParseState = ReaderState::BetweenSections;
  failure_ = GdbError::None;
  observer_ = observer;
  linePos_ = 0;
  lineAtPos_ = itemLine_ = 1;
  const bool ok = ParseSections();
  const GdbError error = ok ? GdbError::None : failure_ == GdbError::None ? GdbError::UnexpectedEnd : failure_;
  if (observer_ && error != GdbError::None) observer_->ReadFailed(error, itemLine_);
  observer_ = nullptr;
  SetInput(std::string_view());
  translated_ = std::string();
  scratch_ = std::string();
  return error;
}

// Counted only for an observer, from the last place asked: the reader's
// positions only ever step back by two.
int GameDatabase::LineHere() {
  const std::size_t pos = std::min(BufferPos, BufferFill);
  if (pos >= linePos_) lineAtPos_ += static_cast<int>(std::count(Buffer + linePos_, Buffer + pos, '\n'));
  else lineAtPos_ -= static_cast<int>(std::count(Buffer + pos, Buffer + linePos_, '\n'));
  linePos_ = pos;
  return lineAtPos_;
}

const char* GdbErrorText(GdbError error) {
  switch (error) {
    case GdbError::None: return "";
    case GdbError::OpenForReading: return "Error opening game.gdb file for reading";
    case GdbError::Reading: return "Error reading game.gdb file";
    case GdbError::UnexpectedEnd: return "Unexpected end of game.gdb file";
    case GdbError::TooManyCircuits: return "Too many circuits in game.gdb file";
    case GdbError::SectionTooLong: return "Section too long in game.gdb file";
    case GdbError::OpenForWriting: return "Error opening game.gdb file for writing";
    case GdbError::Writing: return "Error writing game.gdb file";
  }
  return "Unexpected end of game.gdb file";
}

bool GameDatabase::Fail(GdbError failure) {
  if (failure_ == GdbError::None) failure_ = failure;
  return false;
}

// ---------------------------------------------------------------------------
// Input: the whole text in memory, CR LF turned into LF once up front.

void GameDatabase::SetInput(std::string_view text) {
  translated_.clear();
  if (text.find('\r') != std::string_view::npos) {
    translated_.assign(text.data(), text.size());
    UseTranslated();
    return;
  }
  Buffer = text.data();
  BufferFill = text.size();
  BufferPos = 0;
  steppedBack_ = 0;
}

void GameDatabase::UseTranslated() {
  DropCrOfCrLf(translated_);
  Buffer = translated_.data();
  BufferFill = translated_.size();
  BufferPos = 0;
  steppedBack_ = 0;
}

// ---------------------------------------------------------------------------
// The reader's steps.

inline int GameDatabase::ReadByte() {
  if (steppedBack_ > 0) --steppedBack_;
  const std::size_t at = BufferPos++;
  return at < BufferFill ? static_cast<unsigned char>(Buffer[at]) : kEnd;
}

// Every byte handed out stays in Buffer, so two steps back are two places
// back; past the end they give the end indication again.
inline void GameDatabase::StepBack() {
  if (steppedBack_ < 2 && BufferPos > 0) {
    --BufferPos;
    ++steppedBack_;
  }
}

int GameDatabase::ReadChar() {
  int c = ReadByte();
  if (c != '/') return c;
  int next = ReadByte();
  if (next != '/') {
    StepBack();
    return '/';
  }
  // A comment: drop it, keep the LF that ends it.
  if (observer_) observer_->CommentRead(LineHere());
  if (steppedBack_ == 0 && BufferPos < BufferFill) {
    const void* lf = std::memchr(Buffer + BufferPos, '\n', BufferFill - BufferPos);
    BufferPos = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - Buffer) : BufferFill;
  }
  do c = ReadByte();
  while (c != '\n' && c != kEnd);
  return c;
}

void GameDatabase::SkipBlanks() {
  int c;
  do c = ReadChar();
  while (IsBlank(c));
  StepBack();
}

bool GameDatabase::AtBlockEnd() {
  SkipBlanks();
  if (ReadChar() == '}') return true;
  StepBack();
  return false;
}

GameDatabase::Header GameDatabase::ReadHeader(std::string& header) {
  header.clear();
  SkipBlanks();
  if (observer_) itemLine_ = LineHere();
  int c = ReadChar();
  if (c == kEnd) return Header::EndOfInput;
  while (c != '{' && c != kEnd) {
    header.push_back(static_cast<char>(c));
    c = ReadChar();
  }
  std::size_t end = header.size();
  while (end > 0 && IsWhite(header[end - 1])) --end;
  header.resize(end);
  if (c == '{') return Header::Found;
  // Stray CRs or form feeds after the last section are no section.
  if (header.empty()) return Header::EndOfInput;
  Fail(GdbError::UnexpectedEnd);
  return Header::Failed;
}

// Reads up to the "}" that closes the level the caller's "{" opened, handing
// everything in between (inner braces included) to `keep`. Characters that
// need no second look (anything but braces and "/") go in runs, straight
// from Buffer.
template <typename Keep>
bool GameDatabase::ReadBraced(Keep keep) {
  unsigned long long depth = 1;
  for (;;) {
    if (steppedBack_ == 0) {
      const std::size_t start = BufferPos;
      const std::size_t end = SkipPlain(Buffer, start, BufferFill);
      BufferPos = end;
      if (end > start && !keep(Buffer + start, end - start)) return false;
    }
    int c = ReadChar();
    if (c == kEnd) return Fail(GdbError::UnexpectedEnd);
    if (c == '{') ++depth;
    else if (c == '}' && --depth == 0) break;
    const char one = static_cast<char>(c);
    if (!keep(&one, 1)) return false;
  }
  SkipBlanks();
  return true;
}

// Gathered in a buffer that keeps its room from block to block, then held
// in a string of exactly its size.
bool GameDatabase::ReadBlockText(BlockText& target) {
  scratch_.clear();
  const bool ok = ReadBraced([&](const char* run, std::size_t n) {
    if (n > BlockText::kMaxLength - scratch_.size()) return Fail(GdbError::SectionTooLong);
    scratch_.append(run, n);
    return true;
  });
  return ok && target.Assign(scratch_);
}

bool GameDatabase::ReadVerbatimBlock(std::string* text) {
  if (text) text->clear();
  return ReadBraced([text](const char* run, std::size_t n) {
    if (text) text->append(run, n);
    return true;
  });
}

bool GameDatabase::ReadEntry(std::string& name, std::string& value) {
  SkipBlanks();
  if (observer_) itemLine_ = LineHere();
  name.clear();
  for (;;) {
    int c = ReadChar();
    if (c == kEnd) return Fail(GdbError::UnexpectedEnd);
    if (c == '=') break;
    if ((c == ' ' || c == '\t') && TakeNameWithBlanks(name, static_cast<char>(c))) break;
    if (IsBlank(c)) {
      // Whatever stands after the blanks is taken as the "=".
      SkipBlanks();
      if (ReadChar() == kEnd) return Fail(GdbError::UnexpectedEnd);
      break;
    }
    name.push_back(static_cast<char>(c));
  }
  SkipBlanks();
  return ReadValue(value);
}

// A circuit's name may hold blanks ("Albert Park"), and the writer writes
// it so on a value line. Looked for on the rest of the line, up to its "="
// and short of a comment; a text that names no circuit leaves the name as
// it was. Only blanks before the "=" give the short name itself, which the
// plain rule reads alike.
bool GameDatabase::TakeNameWithBlanks(std::string& name, char blank) {
  if (BufferPos >= BufferFill) return false;
  const char* const from = Buffer + BufferPos;
  const char* const end = Buffer + BufferFill;
  const char* at = from;
  bool words = false;
  for (; at < end && *at != '=' && *at != '\n'; ++at) {
    if (*at == '/' && at + 1 < end && at[1] == '/') return false;
    words = words || (*at != ' ' && *at != '\t');
  }
  if (at == end || *at != '=' || !words) return false;
  const char* last = at;
  while (last[-1] == ' ' || last[-1] == '\t') --last;
  std::string longer = name;
  longer.push_back(blank);
  longer.append(from, static_cast<std::size_t>(last - from));
  if (!Find(longer)) return false;
  name = std::move(longer);
  BufferPos = static_cast<std::size_t>(at + 1 - Buffer);
  steppedBack_ = 0;
  return true;
}

// Up to the TAB or LF that ends it, which is consumed; then the blanks.
bool GameDatabase::ReadValue(std::string& value) {
  value.clear();
  for (;;) {
    // The plain part of the value in one piece.
    if (steppedBack_ == 0) {
      const std::size_t start = BufferPos;
      std::size_t end = start;
      while (end < BufferFill && Buffer[end] != '\t' && Buffer[end] != '\n' && Buffer[end] != '/') ++end;
      value.append(Buffer + start, end - start);
      BufferPos = end;
    }
    int c = ReadChar();
    if (c == kEnd) return Fail(GdbError::UnexpectedEnd);
    if (c == '\t' || c == '\n') break;
    value.push_back(static_cast<char>(c));
  }
  SkipBlanks();
  return true;
}

bool GameDatabase::ReadValueSection(const std::string& section, std::string CircuitEntry::*field) {
  std::string name, value;
  while (!AtBlockEnd()) {
    if (!ReadEntry(name, value)) return false;
    CircuitEntry* entry = Find(name);
    if (entry) entry->*field = value;
    if (observer_) observer_->ValueRead(section, name, itemLine_, entry != nullptr);
  }
  return true;
}

// ---------------------------------------------------------------------------
// The sections, one state per place the reader can stand.

bool GameDatabase::ParseSections() {
  // The value sections in the order of kGdbSectionNames, from index 2.
  static std::string CircuitEntry::*const kValueFields[] = {&CircuitEntry::RaceTimes, &CircuitEntry::QualifyTimes,
                                                            &CircuitEntry::AIRaceSetup, &CircuitEntry::AIQualSetup};
  for (;;) {
    bool ok = true;
    switch (ParseState) {
      case ReaderState::BetweenSections:
        switch (ReadSectionHeader()) {
          case Header::EndOfInput: return true;
          case Header::Failed: return false;
          case Header::Found: break;
        }
        break;
      case ReaderState::InDefaultScoring: ok = ReadScoringSection(DefaultScoring); break;
      case ReaderState::InSeasonScoringInfo: ok = ReadScoringSection(SeasonScoringInfo); break;
      case ReaderState::BeforeRaceEntry: StepBeforeEntry(ReaderState::AtRaceEntry); break;
      case ReaderState::AtRaceEntry: ok = ReadRaceEntry(); break;
      case ReaderState::BeforeFolderEntry: StepBeforeEntry(ReaderState::AtFolderEntry); break;
      case ReaderState::AtFolderEntry: ok = ReadFolderEntry(); break;
      case ReaderState::InRaceTimes:
      case ReaderState::InQualifyTimes:
      case ReaderState::InAIRaceSetup:
      case ReaderState::InAIQualSetup: {
        const int index = static_cast<int>(ParseState) - static_cast<int>(ReaderState::InRaceTimes);
        ok = ReadValueSection(kGdbSectionNames[2 + index], kValueFields[index]);
        if (ok) SectionClosed();
        ParseState = ReaderState::BetweenSections;
        break;
      }
    }
    if (!ok) return false;
  }
}

// A header selects the section's state; a section the game may know but we
// do not has its body stepped over whole, so that it is not taken for
// further headers.
GameDatabase::Header GameDatabase::ReadSectionHeader() {
  // In the order of kGdbSectionNames.
  static const ReaderState kStates[] = {
      ReaderState::InDefaultScoring, ReaderState::BeforeRaceEntry,   ReaderState::InRaceTimes,
      ReaderState::InQualifyTimes,   ReaderState::InAIRaceSetup,     ReaderState::InAIQualSetup,
      ReaderState::BeforeFolderEntry, ReaderState::InSeasonScoringInfo,
  };
  std::string header;
  const Header found = ReadHeader(header);
  if (found != Header::Found) return found;
  const ReaderState* state = nullptr;
  for (int i = 0; i < 8; ++i)
    if (header == kGdbSectionNames[i]) state = &kStates[i];
  if (observer_) observer_->SectionOpened(header, itemLine_, state != nullptr);
  if (state) {
    ParseState = *state;
  } else {
    if (!ReadVerbatimBlock(nullptr)) return Header::Failed;
    SectionClosed();
  }
  return Header::Found;
}

// A later section of the same name replaces the text of the earlier one.
bool GameDatabase::ReadScoringSection(BlockText& target) {
  BlockText fresh;
  if (!ReadBlockText(fresh)) return false;
  target = std::move(fresh);
  SectionClosed();
  ParseState = ReaderState::BetweenSections;
  return true;
}

void GameDatabase::StepBeforeEntry(ReaderState entry) {
  if (AtBlockEnd()) {
    SectionClosed();
    ParseState = ReaderState::BetweenSections;
  } else {
    ParseState = entry;
  }
}

// The first entry of a name is the circuit; a later one is read and dropped.
bool GameDatabase::ReadRaceEntry() {
  std::string name;
  if (ReadHeader(name) != Header::Found) return Fail(GdbError::UnexpectedEnd);
  const int line = itemLine_;
  auto block = std::make_shared<BlockText>();
  if (!ReadBlockText(*block)) return false;
  const bool added = !Find(name);
  if (added) {
    if (CircuitCount() >= kMaxCircuits) return Fail(GdbError::TooManyCircuits);
    CircuitEntry entry;
    entry.Name = name;
    entry.RaceBlock = std::move(block);
    Append(std::move(entry));
  }
  if (observer_) observer_->CircuitListed(name, line, added);
  ParseState = ReaderState::BeforeRaceEntry;
  return true;
}

bool GameDatabase::ReadFolderEntry() {
  std::string name, text;
  if (ReadHeader(name) != Header::Found) return Fail(GdbError::UnexpectedEnd);
  const int line = itemLine_;
  if (!ReadVerbatimBlock(&text)) return false;
  CircuitEntry* entry = Find(name);
  if (entry) entry->FolderCreateActions = std::move(text);
  if (observer_) observer_->ValueRead(kGdbSectionNames[6], name, line, entry != nullptr);
  ParseState = ReaderState::BeforeFolderEntry;
  return true;
}

void GameDatabase::SectionClosed() {
  if (observer_) observer_->SectionClosed();
}

}  // namespace trilo
