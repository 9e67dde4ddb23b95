#pragma once
#include <sys/stat.h>

#include <sys/types.h>

#include <string>

namespace trilo {

/// Opens a regular file without ever waiting on it: a FIFO without a
/// writer, a terminal or a device would hold the open, or a later read, for
/// ever. `flags` are open()'s (O_RDONLY, O_WRONLY | O_CREAT, ...); the
/// descriptor comes back close-on-exec, and blocking (on Linux the
/// non-blocking flag stays set, which regular files ignore). Anything but a
/// regular file is refused: -1 with errno EISDIR for a folder and EACCES
/// for the rest, as Windows denies access to what is not a file. `st`, when
/// given, receives the file's status.
int OpenRegularFile(const std::string& nativePath, int flags, mode_t mode = 0, struct stat* st = nullptr);

/// Reads up to `size` bytes, again after an interrupting signal: the
/// count, 0 at the end, or -1 with errno set.
ssize_t ReadSome(int fd, char* buf, size_t size);
/// Writes all `size` bytes, again after an interrupting signal or a short
/// write; 0, or the errno of the failure.
int WriteAll(int fd, const char* data, size_t size);

/// The whole content of a regular file named by its POSIX path; empty when
/// it cannot be read.
std::string ReadNativeFile(const std::string& nativePath);

}  // namespace trilo
