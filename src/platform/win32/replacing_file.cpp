#include "platform/replacing_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/system_info.h"
#include "text/code_page.h"

namespace trilo {

namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

void ReplacingFile::SplitTarget(const std::string& target, std::string& folder, std::string& name) {
  const CodePage cp = ActiveCodePage();
  size_t cut = FindLastChar(target, '\\', cp);
  const size_t slash = FindLastChar(target, '/', cp);
  if (cut == std::string::npos || (slash != std::string::npos && slash > cut)) cut = slash;
  // "C:name" lies in the current folder of drive C.
  if (cut == std::string::npos && target.size() >= 2 && target[1] == ':') cut = 1;
  folder = cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
  name = cut == std::string::npos ? target : target.substr(cut + 1);
}

std::vector<std::string> ReplacingFile::FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

unsigned long ReplacingFile::OwnProcessId() { return GetCurrentProcessId(); }

bool ReplacingFile::ProcessRunning(unsigned long pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  // A process we may not look at is there all the same.
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

void ReplacingFile::RemoveStale(const std::string& path) {
  const DWORD attrs = GetFileAttributesA(path.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(path.c_str());
}

bool ReplacingFile::CreateUnnamed() { return false; }

Status ReplacingFile::CreateNamed(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    handle_ = reinterpret_cast<std::intptr_t>(h);
    return Status();
  }
  const Status failed = LastSystemError(path, Status::Phase::Create);
  // A folder of that name answers "access denied": taken all the same.
  if (!failed.AlreadyExists() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
    return SystemError(path, ERROR_FILE_EXISTS, Status::Phase::Create);
  return failed;
}

Status ReplacingFile::WriteBytes(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(Handle(handle_), bytes.data() + done, chunk, &written, nullptr))
      return LastSystemError(folder_ + name_, Status::Phase::Write);
    if (written == 0) return SystemError(folder_ + name_, ERROR_WRITE_FAULT, Status::Phase::Write);
    done += written;
  }
  return Status();
}

Status ReplacingFile::FlushToDisk() {
  return FlushFileBuffers(Handle(handle_)) ? Status() : LastSystemError(folder_ + name_, Status::Phase::Write);
}

Status ReplacingFile::LinkUnnamed(const std::string& path) {
  return SystemError(path, ERROR_NOT_SUPPORTED, Status::Phase::Create);
}

Status ReplacingFile::CloseFile() {
  HANDLE h = Handle(handle_);
  handle_ = -1;
  return CloseHandle(h) ? Status() : LastSystemError(folder_ + name_, Status::Phase::Write);
}

Status ReplacingFile::ReplaceTarget(const std::string& from, const std::string& to) {
  // Write-through: the rename itself is on disk when the call returns.
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return Status();
  return LastSystemError(to, Status::Phase::Write);
}

void ReplacingFile::RemoveName(const std::string& path) { DeleteFileA(path.c_str()); }

void ReplacingFile::SyncFolder() const {}

}  // namespace trilo
