#include <algorithm>
#include <cstring>

#include "formats/game_database.h"
#include "text/text_util.h"

namespace trilo {

namespace {

constexpr int kEnd = -1;  // the end of the input, never a character

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\n'; }

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
  AtEnd = false;
  source_ = text;
  sourcePos_ = 0;
  ParseState = 0;
  BufferFill = 0;
  BufferPos = 0;
  pendingCR_ = false;
  steppedBack_ = 0;
  recent_[0] = recent_[1] = kEnd;
  failure_ = GdbError::None;
  observer_ = observer;
  line_ = itemLine_ = 1;

  const bool ok = ParseSections();
  source_ = std::string_view();
  const GdbError error = ok ? GdbError::None : failure_ == GdbError::None ? GdbError::UnexpectedEnd : failure_;
  if (observer_ && error != GdbError::None) observer_->ReadFailed(error, itemLine_);
  observer_ = nullptr;
  return error;
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
// Input: blocks of up to 4096 bytes, CR LF turned into LF on the way in.

std::size_t GameDatabase::ReadRaw(char* dest, std::size_t count) {
  std::size_t got = std::min(count, source_.size() - sourcePos_);
  if (got > 0) std::memcpy(dest, source_.data() + sourcePos_, got);
  sourcePos_ += got;
  return got;
}

int GameDatabase::TranslateLineEnds(int count) {
  // A CR at the end of the block may be the first half of a CR LF: it is
  // held back and put in front of the next block.
  pendingCR_ = Buffer[count - 1] == '\r';
  if (pendingCR_) --count;
  if (!std::memchr(Buffer, '\r', static_cast<std::size_t>(count))) return count;
  int out = 0;
  for (int i = 0; i < count; ++i) {
    if (Buffer[i] == '\r' && i + 1 < count && Buffer[i + 1] == '\n') continue;
    Buffer[out++] = Buffer[i];
  }
  return out;
}

bool GameDatabase::Refill() {
  BufferPos = 0;
  BufferFill = 0;
  if (AtEnd) return false;
  while (BufferFill == 0) {
    int start = 0;
    if (pendingCR_) {
      Buffer[0] = '\r';
      start = 1;
    }
    std::size_t got = ReadRaw(Buffer + start, static_cast<std::size_t>(kBufferSize - start));
    if (got == 0) {
      if (pendingCR_) {  // a CR that ends the file is a character of its own
        pendingCR_ = false;
        BufferFill = 1;
        break;
      }
      AtEnd = true;
      return false;
    }
    BufferFill = TranslateLineEnds(start + static_cast<int>(got));
  }
  return true;
}

// ---------------------------------------------------------------------------
// The reader's steps.

int GameDatabase::ReadByte() {
  int c;
  if (steppedBack_ > 0) {
    c = recent_[--steppedBack_];
  } else {
    c = kEnd;
    if (BufferPos < BufferFill || Refill()) c = static_cast<unsigned char>(Buffer[BufferPos++]);
    recent_[1] = recent_[0];
    recent_[0] = c;
  }
  if (c == '\n') ++line_;
  return c;
}

// The last two bytes are remembered apart from Buffer, so giving back two in
// a row works also when a refill came between them.
void GameDatabase::StepBack() {
  if (steppedBack_ >= 2) return;
  if (recent_[steppedBack_] == '\n') --line_;
  ++steppedBack_;
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
  itemLine_ = line_;
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
// every character in between (inner braces included) to `keep`.
template <typename Keep>
bool GameDatabase::ReadBraced(Keep keep) {
  unsigned long long depth = 1;
  for (;;) {
    int c = ReadChar();
    if (c == kEnd) return Fail(GdbError::UnexpectedEnd);
    if (c == '{') ++depth;
    else if (c == '}' && --depth == 0) break;
    if (!keep(static_cast<char>(c))) return false;
  }
  SkipBlanks();
  return true;
}

bool GameDatabase::ReadBlockText(BlockText& target) {
  target.Begin();
  bool ok = ReadBraced([&](char c) { return target.Append(c) || Fail(GdbError::SectionTooLong); });
  target.Compact();
  return ok;
}

bool GameDatabase::ReadVerbatimBlock(std::string* text) {
  if (text) text->clear();
  return ReadBraced([text](char c) {
    if (text) text->push_back(c);
    return true;
  });
}

bool GameDatabase::ReadEntry(std::string& name, std::string& value) {
  SkipBlanks();
  itemLine_ = line_;
  name.clear();
  value.clear();
  for (;;) {
    int c = ReadChar();
    if (c == kEnd) return Fail(GdbError::UnexpectedEnd);
    if (c == '=') break;
    if (IsBlank(c)) {
      // Whatever stands after the blanks is taken as the "=".
      SkipBlanks();
      if (ReadChar() == kEnd) return Fail(GdbError::UnexpectedEnd);
      break;
    }
    name.push_back(static_cast<char>(c));
  }
  SkipBlanks();
  for (;;) {
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
  static const struct {
    const char* name;
    int state;
  } kSections[] = {
      {kGdbSectionNames[0], 1}, {kGdbSectionNames[1], 2}, {kGdbSectionNames[2], 4}, {kGdbSectionNames[3], 5},
      {kGdbSectionNames[4], 6}, {kGdbSectionNames[5], 7}, {kGdbSectionNames[6], 8}, {kGdbSectionNames[7], 10},
  };

  auto nameOf = [](int state) {
    for (const auto& section : kSections)
      if (section.state == state) return section.name;
    return "";
  };
  auto closed = [this] {
    if (observer_) observer_->SectionClosed();
  };
  std::string header;
  std::string text;
  for (;;) {
    switch (ParseState) {
      case 0: {
        Header found = ReadHeader(header);
        if (found == Header::EndOfInput) return true;
        if (found == Header::Failed) return false;
        int next = 0;
        for (const auto& section : kSections)
          if (header == section.name) next = section.state;
        if (observer_) observer_->SectionOpened(header, itemLine_, next != 0);
        // A section the game may know but we do not: its body is stepped
        // over whole, so that it is not taken for further headers.
        if (next == 0) {
          if (!ReadVerbatimBlock(nullptr)) return false;
          closed();
        }
        ParseState = next;
        break;
      }
      case 1:
      case 10: {
        BlockText& target = ParseState == 1 ? DefaultScoring : SeasonScoringInfo;
        BlockText fresh;
        if (!ReadBlockText(fresh)) return false;
        target = std::move(fresh);
        closed();
        ParseState = 0;
        break;
      }
      case 2:
      case 8:
        if (AtBlockEnd()) {
          closed();
          ParseState = 0;
        } else {
          ++ParseState;
        }
        break;
      case 3: {
        if (ReadHeader(header) != Header::Found) return Fail(GdbError::UnexpectedEnd);
        const int line = itemLine_;
        auto block = std::make_shared<BlockText>();
        if (!ReadBlockText(*block)) return false;
        const bool added = !Find(header);
        if (added) {
          if (CircuitCount() >= kMaxCircuits) return Fail(GdbError::TooManyCircuits);
          CircuitEntry entry;
          entry.Name = header;
          entry.RaceBlock = std::move(block);
          circuits_.push_back(std::move(entry));
        }
        if (observer_) observer_->CircuitListed(header, line, added);
        ParseState = 2;
        break;
      }
      case 4:
      case 5:
      case 6:
      case 7: {
        static std::string CircuitEntry::*const kFields[] = {
            &CircuitEntry::RaceTimes, &CircuitEntry::QualifyTimes, &CircuitEntry::AIRaceSetup,
            &CircuitEntry::AIQualSetup};
        if (!ReadValueSection(nameOf(ParseState), kFields[ParseState - 4])) return false;
        closed();
        ParseState = 0;
        break;
      }
      case 9: {
        if (ReadHeader(header) != Header::Found) return Fail(GdbError::UnexpectedEnd);
        const int line = itemLine_;
        if (!ReadVerbatimBlock(&text)) return false;
        CircuitEntry* entry = Find(header);
        if (entry) entry->FolderCreateActions = text;
        if (observer_) observer_->ValueRead(nameOf(8), header, line, entry != nullptr);
        ParseState = 8;
        break;
      }
      default:
        return Fail(GdbError::UnexpectedEnd);
    }
  }
}

}  // namespace trilo
