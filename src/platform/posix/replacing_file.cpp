#include "platform/replacing_file.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "path_map.h"
#include "read_file.h"

namespace trilo {

namespace {

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

std::string FolderOrCurrent(const std::string& folder) { return folder.empty() ? "." : folder; }

std::string ProcFdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Paths here are the system's: a failure names the path in the core's terms.
Status Failed(const std::string& native, Status::Phase phase) {
  const int err = errno;
  return SystemError(FromNativePath(native), err, phase);
}

}  // namespace


void ReplacingFile::SplitTarget(const std::string& target, std::string& folder, std::string& name) {
  const std::string native = ToNativePath(target);
  const size_t slash = native.rfind('/');
  folder = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
  name = slash == std::string::npos ? native : native.substr(slash + 1);
}

std::vector<std::string> ReplacingFile::FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(FolderOrCurrent(folder).c_str());
  if (!dir) return names;
  while (dirent* e = readdir(dir)) names.push_back(e->d_name);
  closedir(dir);
  return names;
}

unsigned long ReplacingFile::OwnProcessId() { return static_cast<unsigned long>(getpid()); }

bool ReplacingFile::ProcessRunning(unsigned long pid) {
  if (pid == 0 || pid > static_cast<unsigned long>(INT_MAX)) return false;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

void ReplacingFile::RemoveStale(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && unlink(path.c_str()) == 0) NoteRemoved(path);
}

bool ReplacingFile::CreateUnnamed() {
#ifdef O_TMPFILE
  const int fd = open(FolderOrCurrent(folder_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return false;  // not on this file system: a named file will do
  // Naming it later goes through /proc; without /proc, take a named file now.
  if (access(ProcFdPath(fd).c_str(), F_OK) != 0) {
    close(fd);
    return false;
  }
  handle_ = fd;
  return true;
#else
  return false;
#endif
}

Status ReplacingFile::CreateNamed(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666);
  if (fd < 0) return Failed(path, Status::Phase::Create);
  handle_ = fd;
  NoteCreated(path);
  return Status();
}

Status ReplacingFile::WriteBytes(const std::string& bytes) {
  const int err = WriteAll(Fd(handle_), bytes.data(), bytes.size());
  return err ? SystemError(FromNativePath(folder_ + name_), err, Status::Phase::Write) : Status();
}

Status ReplacingFile::FlushToDisk() {
  // A file system that keeps nothing to flush says so with EINVAL.
  if (fsync(Fd(handle_)) == 0 || errno == EINVAL) return Status();
  return Failed(folder_ + name_, Status::Phase::Write);
}

Status ReplacingFile::LinkUnnamed(const std::string& path) {
  if (linkat(AT_FDCWD, ProcFdPath(Fd(handle_)).c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0)
    return Failed(path, Status::Phase::Create);
  NoteCreated(path);
  return Status();
}

Status ReplacingFile::CloseFile() {
  const int fd = Fd(handle_);
  handle_ = -1;
  return close(fd) == 0 ? Status() : Failed(folder_ + name_, Status::Phase::Write);
}

Status ReplacingFile::ReplaceTarget(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return Failed(to, Status::Phase::Write);
  NoteRemoved(from);
  NoteCreated(to);
  return Status();
}

void ReplacingFile::RemoveName(const std::string& path) {
  if (unlink(path.c_str()) == 0) NoteRemoved(path);
}

void ReplacingFile::SyncFolder() const {
  // The rename is on disk only once the folder is; a file system that cannot
  // flush a folder has nothing more to give.
  const int fd = open(FolderOrCurrent(folder_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace trilo
