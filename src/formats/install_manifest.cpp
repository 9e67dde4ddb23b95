#include "formats/install_manifest.h"

#include <cstdlib>

#include "text/content_hash.h"
#include "text/line_reader.h"
#include "text/text_util.h"

namespace trilo {

namespace {

const char kMagic[] = "trilo install record";
const char kStateKey[] = "State: ";
const char kCreatedFolder[] = "created folder";
const char kCreatedFile[] = "created file";
const char kReplacedFile[] = "replaced file";
const char kTemporaryFile[] = "temporary file";
const char kWrote[] = "wrote";

// A path may hold anything but the line's own separators: control bytes
// and "%" are written as "%XX".
void AppendEscaped(std::string& out, const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  out.reserve(out.size() + text.size());
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || c == '%') {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
}

std::string Escape(const std::string& text) {
  std::string out;
  AppendEscaped(out, text);
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    int hi, lo;
    if (text[i] == '%' && i + 2 < text.size() && (hi = HexDigit(text[i + 1])) >= 0 &&
        (lo = HexDigit(text[i + 2])) >= 0) {
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Each hash is named by its algorithm: records written before XXH64 hold
// FNV-1a values, and still compare.
const char kFnvField[] = "fnv1a64=";
const char kXxhField[] = "xxh64=";

void AppendSizeAndHash(std::string& line, unsigned long long size, uint64_t hash, HashAlgorithm algorithm) {
  line += "\tsize=";
  line += std::to_string(size);
  line += '\t';
  line += algorithm == HashAlgorithm::Fnv1a64 ? kFnvField : kXxhField;
  line += HashText(hash);
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

// The "name=value" fields after the path; false when one is malformed.
bool ReadFields(const std::vector<std::string>& fields, RecordEntry& entry) {
  bool haveSize = false, haveHash = false;
  for (size_t i = 2; i < fields.size(); ++i) {
    const std::string& f = fields[i];
    if (f.rfind("kept=", 0) == 0) {
      entry.kept = Unescape(f.substr(5));
    } else if (f.rfind("size=", 0) == 0) {
      char* end = nullptr;
      entry.size = std::strtoull(f.c_str() + 5, &end, 10);
      if (f.size() == 5 || *end) return false;
      haveSize = true;
    } else if (f.rfind(kXxhField, 0) == 0) {
      if (!ParseHashText(f.substr(sizeof kXxhField - 1), entry.hash)) return false;
      entry.algorithm = HashAlgorithm::Xxh64;
      haveHash = true;
    } else if (f.rfind(kFnvField, 0) == 0) {
      if (!ParseHashText(f.substr(sizeof kFnvField - 1), entry.hash)) return false;
      entry.algorithm = HashAlgorithm::Fnv1a64;
      haveHash = true;
    }
  }
  entry.hashed = haveSize && haveHash;
  return true;
}

}  // namespace

const size_t kManifestStateOffset = sizeof kMagic - 1 + 2 + sizeof kStateKey - 1;

const char* RecordStateText(RecordState state) {
  switch (state) {
    case RecordState::CutShort: return "cut short";
    case RecordState::Completed: return "completed";
    case RecordState::Failed: return "failed";
    case RecordState::PartlyUndone: return "partly undone";
  }
  return "cut short";
}

std::string ManifestStateField(RecordState state) {
  std::string field = RecordStateText(state);
  // Padded, never cut: a wider state is written with the whole manifest.
  if (field.size() < kManifestStateWidth) field.resize(kManifestStateWidth, ' ');
  return field;
}

std::string WithManifestState(const std::string& text, RecordState state) {
  const size_t end = text.find("\r\n", kManifestStateOffset);
  if (text.compare(kManifestStateOffset - (sizeof kStateKey - 1), sizeof kStateKey - 1, kStateKey) != 0 ||
      end == std::string::npos)
    return text;
  return text.substr(0, kManifestStateOffset) + ManifestStateField(state) + text.substr(end);
}

std::string ManifestHeaderText(const RecordHeader& h) {
  std::string text;
  AppendCrLfLine(text, kMagic);
  AppendCrLfLine(text, kStateKey + ManifestStateField(h.state));
  AppendCrLfLine(text, "Title: " + Escape(h.title));
  AppendCrLfLine(text, "Package: " + Escape(h.package));
  AppendCrLfLine(text, "Version: " + Escape(h.version));
  AppendCrLfLine(text, "Date: " + Escape(h.date));
  AppendCrLfLine(text, "Game: " + Escape(h.game));
  AppendCrLfLine(text, "");
  return text;
}

std::string ManifestEntryLine(const RecordEntry& e) {
  std::string line;
  line.reserve(80 + e.path.size() + e.kept.size());
  switch (e.action) {
    case RecordAction::CreatedFolder: line = kCreatedFolder; break;
    case RecordAction::CreatedFile: line = kCreatedFile; break;
    case RecordAction::ReplacedFile: line = kReplacedFile; break;
    case RecordAction::TemporaryFile: line = kTemporaryFile; break;
  }
  line += '\t';
  AppendEscaped(line, e.path);
  if (e.action == RecordAction::ReplacedFile) {
    line += "\tkept=";
    AppendEscaped(line, e.kept);
  }
  if ((e.action == RecordAction::CreatedFile || e.action == RecordAction::ReplacedFile) && e.hashed)
    AppendSizeAndHash(line, e.size, e.hash, e.algorithm);
  line += "\r\n";
  return line;
}

std::string ManifestWroteLine(const std::string& path, unsigned long long size, uint64_t hash) {
  std::string line = kWrote;
  line += '\t';
  AppendEscaped(line, path);
  AppendSizeAndHash(line, size, hash, HashAlgorithm::Xxh64);
  line += "\r\n";
  return line;
}

InstallManifest ParseManifest(const std::string& text) {
  InstallManifest m;
  // Only whole lines count.
  const size_t end = text.rfind('\n');
  const std::string whole = end == std::string::npos ? std::string() : text.substr(0, end + 1);
  StringLineReader reader(whole);
  std::string line;
  bool inHeader = true;
  while (reader.Next(line)) {
    if (inHeader) {
      if (line.empty()) {
        inHeader = false;
        continue;
      }
      const size_t colon = line.find(": ");
      if (colon == std::string::npos) continue;
      const std::string key = line.substr(0, colon);
      const std::string value = Unescape(TrimRight(line.substr(colon + 2)));
      if (key == "State") {
        for (RecordState s :
             {RecordState::CutShort, RecordState::Completed, RecordState::Failed, RecordState::PartlyUndone})
          if (value == RecordStateText(s)) m.header.state = s;
      } else if (key == "Title") {
        m.header.title = value;
      } else if (key == "Package") {
        m.header.package = value;
      } else if (key == "Version") {
        m.header.version = value;
      } else if (key == "Date") {
        m.header.date = value;
      } else if (key == "Game") {
        m.header.game = value;
      }
      continue;
    }
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() < 2 || fields[1].empty()) continue;
    RecordEntry entry;
    entry.path = Unescape(fields[1]);
    if (!ReadFields(fields, entry)) continue;
    if (fields[0] == kWrote) {
      for (auto it = m.entries.rbegin(); it != m.entries.rend(); ++it) {
        if ((it->action == RecordAction::CreatedFile || it->action == RecordAction::ReplacedFile) &&
            EqualsIgnoreCase(it->path, entry.path)) {
          it->hashed = entry.hashed;
          it->size = entry.size;
          it->hash = entry.hash;
          it->algorithm = entry.algorithm;
          break;
        }
      }
      continue;
    }
    if (fields[0] == kCreatedFolder) entry.action = RecordAction::CreatedFolder;
    else if (fields[0] == kCreatedFile) entry.action = RecordAction::CreatedFile;
    else if (fields[0] == kReplacedFile) entry.action = RecordAction::ReplacedFile;
    else if (fields[0] == kTemporaryFile) entry.action = RecordAction::TemporaryFile;
    else continue;
    if (entry.action == RecordAction::ReplacedFile && entry.kept.empty()) continue;
    m.entries.push_back(entry);
  }
  return m;
}

}  // namespace trilo
