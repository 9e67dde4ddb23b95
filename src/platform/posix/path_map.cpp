#include "path_map.h"

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <locale.h>
#include <wctype.h>

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "code_page_text.h"
#include "platform/system_info.h"
#include "text/text_util.h"
#include "text/utf8.h"

namespace trilo {

namespace {

const CodePage kUtf8(kUtf8CodePage);

// Upper case as the C library knows it for every language: the "C" locale
// the program runs in knows only ASCII.
locale_t CaseLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return locale;
}

// The character of a UTF-8 name at `i` as names are compared: in upper case,
// as Wine compares them; `i` moves past it. ASCII needs no table. A byte
// that starts no well-formed sequence stands for itself, apart from every
// character.
uint32_t NextFolded(const std::string& s, size_t& i) {
  const Utf8Char c = DecodeUtf8(s, i, BadBytes::Mark);
  i += c.length;
  if (c.code < 0x80) return c.code >= 'a' && c.code <= 'z' ? c.code - 'a' + 'A' : c.code;
  if (c.code >= kBadByte) return c.code;
  const locale_t locale = CaseLocale();
  return static_cast<uint32_t>(locale ? towupper_l(static_cast<wint_t>(c.code), locale)
                                      : towupper(static_cast<wint_t>(c.code)));
}

struct CaselessHash {
  size_t operator()(const std::string& s) const {
    uint64_t h = 14695981039346656037ull;  // FNV-1a of the folded characters
    for (size_t i = 0; i < s.size();) {
      const uint32_t c = NextFolded(s, i);
      h = (h ^ (c & 0xFF)) * 1099511628211ull;
      if (c > 0xFF) h = (h ^ (c >> 8)) * 1099511628211ull;
    }
    return static_cast<size_t>(h);
  }
};

struct CaselessEqual {
  bool operator()(const std::string& a, const std::string& b) const {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size())
      if (NextFolded(a, i) != NextFolded(b, j)) return false;
    return i == a.size() && j == b.size();
  }
};

// The names of one folder, found without regard to case, read once and
// then kept up to date by our own creates. The folder's modification time
// tells when something else changed it: then it is read again. Of names
// that differ only in case, the first the folder listed is kept.
struct FolderNames {
  bool filled = false;
  bool caseTwins = false;  ///< it holds names that differ only in case: only one of them is kept
  struct timespec mtime = {};
  std::unordered_set<std::string, CaselessHash, CaselessEqual> names;
};

struct FolderId {
  dev_t dev;
  ino_t ino;
  bool operator==(const FolderId& o) const { return dev == o.dev && ino == o.ino; }
};

struct FolderIdHash {
  size_t operator()(const FolderId& id) const {
    return std::hash<unsigned long long>()(static_cast<unsigned long long>(id.ino) * 31u + id.dev);
  }
};

// Keyed by identity, so a folder renamed behind our back keeps its names and
// a new folder at an old path gets its own.
std::unordered_map<FolderId, FolderNames, FolderIdHash>& Cache() {
  static std::unordered_map<FolderId, FolderNames, FolderIdHash> cache;
  return cache;
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The folders whose names are held, by the path they were last reached
// under (ending in "/"), with the identity they had then.
std::unordered_map<std::string, FolderId>& KnownFolders() {
  static std::unordered_map<std::string, FolderId> known;
  return known;
}

void Fill(const std::string& folder, FolderNames& names) {
  names.names.clear();
  names.filled = false;
  names.caseTwins = false;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  while (dirent* e = readdir(dir))
    if (!names.names.emplace(e->d_name).second) names.caseTwins = true;
  closedir(dir);
  names.filled = true;
}

// The entry of `folder` (a folder whose status is `st`) whose name equals
// `name` ignoring case ("É" and "é" too).
bool FindCaseless(const std::string& folder, const struct stat& st, const std::string& name, std::string& found) {
  if (!S_ISDIR(st.st_mode)) return false;
  const FolderId id{st.st_dev, st.st_ino};
  FolderNames& names = Cache()[id];
  if (!names.filled || names.caseTwins || !SameTime(names.mtime, st.st_mtim)) {
    names.mtime = st.st_mtim;  // taken before reading: a change meanwhile shows next time
    Fill(folder, names);
  }
  if (names.filled && !folder.empty() && folder.back() == '/') KnownFolders()[folder] = id;
  auto entry = names.names.find(name);
  if (entry == names.names.end()) return false;
  found = *entry;
  return true;
}

bool IsPlainComponent(const std::string& comp) { return !comp.empty() && comp != "." && comp != ".."; }

std::string FolderOf(const std::string& path, size_t slash) {
  if (slash == std::string::npos) return std::string();
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

bool ExactNativePath(const std::string& path, std::string& native) {
  // In UTF-8 a "\" is always a character of its own: the path is split only
  // once it is converted, so a trail byte 0x5C of the code page never splits it.
  if (!CodePageToUtf8(path, native)) return false;
  native = ToSlashes(std::move(native), kUtf8);
  return true;
}

bool ToNativePath(const std::string& path, std::string& native) {
  if (!ExactNativePath(path, native)) return false;
  native = ResolveNativePath(native);
  return true;
}

namespace {

// The last lookup, for a call on the same file that comes right after it.
struct LastLookup {
  bool held = false;
  std::string slashed, resolved;
};

LastLookup& Last() {
  static LastLookup last;
  return last;
}

}  // namespace

bool ToNativePathAgain(const std::string& path, std::string& native) {
  if (!ExactNativePath(path, native)) return false;
  LastLookup& last = Last();
  if (last.held && last.slashed == native) {
    last.held = false;
    native = last.resolved;
    return true;
  }
  native = ResolveNativePath(native);
  return true;
}

void ForgetLastLookup() { Last().held = false; }

std::string ToNativePath(const std::string& path) {
  std::string native;
  ToNativePath(path, native);
  return native;
}

namespace {

// The lookup of a name in a folder whose names are held and unchanged: one
// call for the folder's status, none for the name. False when it cannot
// tell: the folder is not held, changed, or holds names differing only in
// case (the one held may not be the exact one).
bool ResolveInKnownFolder(const std::string& slashed, std::string& resolved, bool& missing) {
  const size_t slash = slashed.rfind('/');
  if (slash == std::string::npos || !IsPlainComponent(slashed.substr(slash + 1))) return false;
  auto known = KnownFolders().find(slashed.substr(0, slash + 1));
  if (known == KnownFolders().end()) return false;
  struct stat folder;
  if (stat(known->first.c_str(), &folder) != 0 || !(FolderId{folder.st_dev, folder.st_ino} == known->second)) {
    KnownFolders().erase(known);
    return false;
  }
  const FolderNames& names = Cache()[known->second];
  if (!names.filled || names.caseTwins || !SameTime(names.mtime, folder.st_mtim)) return false;
  const std::string name = slashed.substr(slash + 1);
  auto entry = names.names.find(name);
  missing = entry == names.names.end();
  resolved = missing || *entry == name ? slashed : known->first + *entry;
  return true;
}

std::string Resolve(const std::string& slashed, bool* missingStep) {
  if (missingStep) *missingStep = false;
  if (slashed.empty() || slashed.size() >= PATH_MAX) return slashed;
  std::string resolved;
  bool absent = false;
  if (ResolveInKnownFolder(slashed, resolved, absent)) {
    if (missingStep) *missingStep = absent;
    return resolved;
  }
  struct stat st;
  if (lstat(slashed.c_str(), &st) == 0) return slashed;

  // The longest leading part that exists as written: everything up to it
  // needs no search.
  size_t keep = slashed[0] == '/' ? 1 : 0;  // length of the part taken as it is
  bool folderKnown = false;
  struct stat folder;
  for (size_t end = slashed.rfind('/'); end != std::string::npos && end > 0; end = slashed.rfind('/', end - 1)) {
    if (stat(slashed.substr(0, end).c_str(), &folder) == 0) {
      keep = end + 1;
      folderKnown = true;
      break;
    }
  }
  if (!folderKnown && stat(keep ? "/" : ".", &folder) != 0) return slashed;

  // The rest, component by component; once one is missing even caselessly,
  // the rest is kept as written.
  std::string result = slashed.substr(0, keep);
  size_t pos = keep;
  bool resolving = true;
  bool missing = true;  // the first component after it does not exist as written
  while (pos <= slashed.size()) {
    size_t next = slashed.find('/', pos);
    if (next == std::string::npos) next = slashed.size();
    std::string comp = slashed.substr(pos, next - pos);
    if (resolving && IsPlainComponent(comp)) {
      std::string found;
      if (!missing && lstat((result + comp).c_str(), &st) == 0) {
        // As written.
      } else if (FindCaseless(result.empty() ? "." : result, folder, comp, found)) {
        comp = found;
      } else {
        resolving = false;
        if (missingStep) *missingStep = true;
      }
    }
    result += comp;
    missing = false;
    if (next < slashed.size()) {
      result += '/';
      if (resolving && stat(result.c_str(), &folder) != 0) resolving = false;
    }
    pos = next + 1;
  }
  return result;
}

}  // namespace

std::string ResolveNativePath(const std::string& slashed, bool* missingStep) {
  LastLookup& last = Last();
  last.slashed = slashed;
  last.resolved = Resolve(slashed, missingStep);
  last.held = true;
  return last.resolved;
}

namespace {

// Whether the status of `slashed` as written is worth asking first: unless
// the cache, unverified, holds its folder without the name (a new file),
// it is the file's status or a name that is there under another spelling.
bool StatFirst(const std::string& slashed) {
  const size_t slash = slashed.rfind('/');
  if (slash == std::string::npos) return true;
  const std::string name = slashed.substr(slash + 1);
  if (!IsPlainComponent(name)) return true;
  auto known = KnownFolders().find(slashed.substr(0, slash + 1));
  if (known == KnownFolders().end()) return true;
  auto cached = Cache().find(known->second);
  if (cached == Cache().end() || !cached->second.filled || cached->second.caseTwins) return true;
  auto entry = cached->second.names.find(name);
  return entry != cached->second.names.end() && *entry == name;
}

}  // namespace

bool LookUpFile(const std::string& slashed, std::string& resolved, struct stat& st) {
  // A name that is there as written is the file, whatever else the folder
  // holds, as the lookup itself would find.
  if (StatFirst(slashed) && stat(slashed.c_str(), &st) == 0) {
    ForgetLastLookup();
    resolved = slashed;
    return true;
  }
  bool missing = false;
  resolved = ResolveNativePath(slashed, &missing);
  return !missing && stat(resolved.c_str(), &st) == 0;
}

namespace {

// The cached names of the folder `nativePath` lies in, already read, with
// the last component of the path and the folder's modification time now;
// null when the folder is not cached.
FolderNames* CachedFolderOf(const std::string& nativePath, std::string& name, struct timespec& mtime) {
  const size_t slash = nativePath.rfind('/');
  const std::string folderPath = FolderOf(nativePath, slash);
  // A folder never searched under this path is asked nothing: should it be
  // held all the same (reached another way), its time tells of the change.
  if (!folderPath.empty() && KnownFolders().count(folderPath == "/" ? folderPath : folderPath + "/") == 0)
    return nullptr;
  struct stat folder;
  if (stat(folderPath.empty() ? "." : folderPath.c_str(), &folder) != 0) return nullptr;
  auto cached = Cache().find(FolderId{folder.st_dev, folder.st_ino});
  if (cached == Cache().end() || !cached->second.filled) return nullptr;
  name = slash == std::string::npos ? nativePath : nativePath.substr(slash + 1);
  mtime = folder.st_mtim;
  return &cached->second;
}

}  // namespace

void NoteCreated(const std::string& nativePath) {
  ForgetLastLookup();
  std::string name;
  struct timespec mtime;
  FolderNames* cached = CachedFolderOf(nativePath, name, mtime);
  if (!cached) return;
  auto added = cached->names.emplace(name);
  if (!added.second && *added.first != name) cached->caseTwins = true;
  cached->mtime = mtime;
}

void NoteRemoved(const std::string& nativePath) {
  ForgetLastLookup();
  std::string name;
  struct timespec mtime;
  FolderNames* cached = CachedFolderOf(nativePath, name, mtime);
  if (!cached) return;
  // Erased by its exact name only: another spelling may still be there.
  auto entry = cached->names.find(name);
  if (entry != cached->names.end() && *entry == name) cached->names.erase(entry);
  cached->mtime = mtime;
}

std::string NativeCurrentFolder() {
  std::string buf(4096, '\0');
  while (!getcwd(&buf[0], buf.size())) {
    if (errno != ERANGE || buf.size() > (1u << 20)) return std::string();
    buf.resize(buf.size() * 2);
  }
  buf.resize(buf.find('\0'));
  return buf;
}

bool FromNativePath(const std::string& path, std::string& core) {
  if (!Utf8ToCodePage(path, core)) return false;
  core = ToBackslashes(std::move(core), ActiveCodePage());
  return true;
}

std::string FromNativePath(const std::string& path) {
  std::string core;
  FromNativePath(path, core);
  return core;
}

}  // namespace trilo
