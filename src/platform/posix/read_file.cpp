#include "read_file.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace trilo {

int OpenRegularFile(const std::string& nativePath, int flags, mode_t mode, struct stat* st) {
  int fd = open(nativePath.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode);
  if (fd < 0) {
    // Writing to a FIFO that nobody reads: a special file all the same.
    if (errno == ENXIO) errno = EACCES;
    return -1;
  }
  struct stat own;
  struct stat& status = st ? *st : own;
  int err = 0;
  if (fstat(fd, &status) != 0) err = errno;
  else if (S_ISDIR(status.st_mode)) err = EISDIR;
  else if (!S_ISREG(status.st_mode)) err = EACCES;
#ifndef __linux__
  // Back to blocking: only the status flags count here, and they are the
  // caller's, so there is nothing to ask first. Linux ignores the flag on
  // regular files, which saves a call for every file copied.
  else if (fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) err = errno;
#endif
  if (err) {
    close(fd);
    errno = err;
    return -1;
  }
  return fd;
}

ssize_t ReadSome(int fd, char* buf, size_t size) {
  for (;;) {
    const ssize_t n = read(fd, buf, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

int WriteAll(int fd, const char* data, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(n);
  }
  return 0;
}

std::string ReadNativeFile(const std::string& nativePath) {
  std::string bytes;
  const int fd = OpenRegularFile(nativePath, O_RDONLY);
  if (fd < 0) return bytes;
  char buf[65536];
  ssize_t n;
  while ((n = ReadSome(fd, buf, sizeof buf)) > 0) bytes.append(buf, static_cast<size_t>(n));
  close(fd);
  return bytes;
}

}  // namespace trilo
