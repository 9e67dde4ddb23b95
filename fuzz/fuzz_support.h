// What the fuzz targets share: a check that stops the run with a message,
// and a private folder for the targets that need real files.
#pragma once
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace trilo {
namespace fuzz {

inline void Check(bool condition, const char* target, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "%s: %s\n", target, what);
    std::abort();
  }
}

/// A folder of its own for the life of the process, in memory when the
/// system offers it (files are written and flushed on every input), removed
/// at exit. Its POSIX path, ending in "/".
inline const std::string& PrivateFolder() {
  static const std::string folder = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/trilo-fuzz-XXXXXX";
    if (!mkdtemp(&pattern[0])) {
      std::perror("mkdtemp");
      std::abort();
    }
    static std::string removed;
    removed = pattern;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(removed, ec);
    });
    return pattern + "/";
  }();
  return folder;
}

/// Makes the private folder current for the life of the object; the fuzzer
/// itself reads its corpus by relative names, so it must get its own back.
class InPrivateFolder {
 public:
  InPrivateFolder() : saved_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    Check(saved_ >= 0 && chdir(PrivateFolder().c_str()) == 0, "fuzz", "cannot enter the private folder");
  }
  ~InPrivateFolder() {
    Check(fchdir(saved_) == 0, "fuzz", "cannot leave the private folder");
    close(saved_);
  }
  InPrivateFolder(const InPrivateFolder&) = delete;
  InPrivateFolder& operator=(const InPrivateFolder&) = delete;

 private:
  int saved_;
};

inline void WriteWholeFile(const std::string& nativePath, const std::string& bytes) {
  std::FILE* f = std::fopen(nativePath.c_str(), "wb");
  Check(f != nullptr, "fuzz", "cannot write into the private folder");
  Check(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size(), "fuzz", "short write in the private folder");
  std::fclose(f);
}

}  // namespace fuzz
}  // namespace trilo
