#include "platform/file_ops.h"

#include <windows.h>

#include "disk_file.h"
#include "platform/filesystem.h"
#include "text/content_hash.h"

namespace trilo {

Status CopyFileReplacing(const std::string& from, const std::string& to) {
  // CopyFileA would read a named pipe or a device until it ends, which may
  // be never: only files are copied, from and to.
  if (NamesDevice(from) || NamesDevice(to)) return SystemError(NamesDevice(from) ? from : to, ERROR_ACCESS_DENIED);
  SetLastError(ERROR_SUCCESS);
  if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return Status();
  // Taken at once: nothing else may run between the copy and this.
  return LastSystemError(to);
}

namespace {

// Hashes a file on a disk read through `file`; false when it cannot be read.
bool HashOpenFile(HANDLE file, ContentHash& hash) {
  char buf[1 << 16];
  DWORD got = 0;
  while (ReadFile(file, buf, sizeof buf, &got, nullptr)) {
    if (got == 0) return true;
    hash.Add(buf, got);
  }
  return false;
}

// Whether a copy would replace what FindFirstFileA found at `to`, asked
// while the source is open: a file in use, the source itself among them,
// refuses to be opened without sharing. A folder, a read-only file or a
// device stays as it is.
bool Replaceable(const std::string& to, const WIN32_FIND_DATAA& found) {
  if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
  HANDLE h = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool file = IsDiskFile(h);
  CloseHandle(h);
  return file;
}

// The destination as its folder spells it, from what FindFirstFileA found.
std::string Respelt(const std::string& to, const WIN32_FIND_DATAA& found) {
  const size_t slash = to.find_last_of("\\/:");
  return to.substr(0, slash == std::string::npos ? 0 : slash + 1) + found.cFileName;
}

}  // namespace

Status CopyFileReplacing(const std::string& from, const std::string& to, const CopyAnnouncement& announce) {
  if (!announce) return CopyFileReplacing(from, to);
  // CopyFileA reads the file itself: the content is hashed beforehand, and
  // told unknown when that read fails (the copy then most likely fails too).
  // Only a file on a disk is read: a pipe or a device might never end.
  HANDLE source = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (source != INVALID_HANDLE_VALUE && !IsDiskFile(source)) {
    CloseHandle(source);
    source = INVALID_HANDLE_VALUE;
  }
  const bool opened = source != INVALID_HANDLE_VALUE;
  ContentHash hash;
  const bool known = opened && HashOpenFile(source, hash);
  // Nothing there: the copy fails without anything to announce.
  if (!opened && GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES) return CopyFileReplacing(from, to);
  // The destination, looked at once while the source is still open.
  WIN32_FIND_DATAA found;
  HANDLE find = to.find_first_of("*?") == std::string::npos ? FindFirstFileA(to.c_str(), &found)
                                                            : INVALID_HANDLE_VALUE;
  const bool exists = find != INVALID_HANDLE_VALUE;
  if (exists) FindClose(find);
  // A source that did not open cannot show itself as in use: asked apart.
  const bool changes = !exists || ((opened || !SameFile(from, to)) && Replaceable(to, found));
  if (opened) CloseHandle(source);
  // What cannot change is left to CopyFileA to refuse, unannounced.
  if (!changes) return CopyFileReplacing(from, to);
  CopyNotice notice;
  if (exists) {
    notice.replaces = Respelt(to, found);
    notice.moveAside = [&notice](const std::string& kept) { return RenameReplacing(notice.replaces, kept); };
  }
  const CopiedContent content{hash.Size(), hash.Value()};
  notice.content = known ? &content : nullptr;
  if (const Status announced = announce(notice); !announced) return announced;
  // A file at both ends, each looked at already: nothing to ask again. The
  // new file takes the spelling of the one it replaces.
  if (!opened || !exists) return CopyFileReplacing(from, to);
  SetLastError(ERROR_SUCCESS);
  if (CopyFileA(from.c_str(), notice.replaces.c_str(), FALSE)) return Status();
  return LastSystemError(to);
}

Status CreateFolder(const std::string& path, bool* existed) {
  if (existed) *existed = false;
  if (CreateDirectoryA(path.c_str(), nullptr)) return Status();
  const DWORD err = GetLastError();
  // A drive root or a write-protected medium may answer "access denied"
  // for a name that is there: it still counts as existing.
  if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS ||
      (!path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)) {
    if (existed) *existed = true;
    return Status();
  }
  return SystemError(path, static_cast<long>(err), Status::Phase::Create);
}

}  // namespace trilo
