// Whole unattended installs by the real trilo-setup, of N files into one
// folder and of N files spread over 40 folders, each against `cp -r` of the
// same files in the same run, and against `cp -r --preserve=timestamps`,
// which keeps modification times as the install does. Prints one table row
// per case: the ratios and the time per file are what count; the user
// times per file show how much of the gap is the installer's own work.
//
//   install_bench [N...]        default: 1000 10000 100000
//   TRILO_BENCH_DIR=/path       where the trees go (default: the temp folder)
//                               (in a folder of the run's own below it)
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Run {
  double seconds = 0;
  double userSeconds = 0;  // CPU time outside the kernel: the program's own work
  long peakKiB = 0;
  bool ok = false;
};

// Runs a program to its end; its wall and user times and peak memory.
Run Time(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage = {};
  wait4(pid, &status, 0, &usage);
  Run run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.userSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6;
  run.peakKiB = usage.ru_maxrss;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A game with its configuration, and a package whose files.txt copies
// `count` files into Bench\ (spread over `folders` folders below it). Most
// files are small; one in 5,000 is several MB.
void Lay(const fs::path& root, int count, int folders) {
  fs::remove_all(root);
  const fs::path game = root / "game", package = root / "package";
  fs::create_directories(game);
  fs::create_directories(package / "content");
  Write(game / "f1_9902.exe", "MZ");
  std::string config = "[COMPONENTS]\r\n";
  for (const char* key : {"SEASONDIR", "SAVEDIR", "OPTIONSDIR", "REPLAYDIR", "LOGDIR", "MOVIEDIR", "VEHICLESDIR",
                          "TRACKSDIR", "SOUNDDIR", "DRIVERSDIR"})
    config += std::string(key) + "=Data\\\r\n";
  Write(game / "CONFIG.INI", config);
  Write(package / "conf.ini", "[VESKAINSTALL]\r\nNewConfig=0\r\n");

  std::string dirs = "${TOPDIR}Bench\\\r\n", files;
  for (int f = 0; f < folders; ++f) {
    dirs += "${TOPDIR}Bench\\f" + std::to_string(f) + "\r\n";
    fs::create_directories(package / "content" / ("f" + std::to_string(f)));
  }
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> small(64, 4096), large(2 << 20, 6 << 20), pick(0, 4999);
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    const std::string folder = folders > 0 ? "f" + std::to_string(i % folders) + "\\" : "";
    const std::string name = "file" + std::to_string(i) + ".dat";
    bytes.assign(static_cast<size_t>(pick(random) == 0 ? large(random) : small(random)), static_cast<char>('a' + i % 26));
    std::string native = folder;
    for (char& c : native)
      if (c == '\\') c = '/';
    Write(package / "content" / (native + name), bytes);
    files += "${TOPDIR}Bench\\" + folder + name + "=content\\" + folder + name + "\r\n";
  }
  Write(package / "dirs.txt", dirs);
  Write(package / "files.txt", files);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1000, 10000, 100000};
  const char* where = std::getenv("TRILO_BENCH_DIR");
  // A folder of this run's own: two runs at once must not share their trees.
  const fs::path root = fs::path(where ? where : fs::temp_directory_path().string()) /
                        ("trilo-install-bench-" + std::to_string(getpid()));

  std::printf("%8s  %-10s  %10s  %10s  %6s  %10s  %6s  %9s  %9s  %9s  %9s\n", "files", "layout", "install s", "cp -r s",
              "ratio", "cp -rp s", "ratio", "us/file", "peak MiB", "user us", "cp user");
  for (int count : counts) {
    for (int folders : {0, 40}) {
      Lay(root, count, folders);
      const fs::path game = root / "game";
      // The best of a few rounds of each, taken in turns on fresh targets:
      // the file system's own hiccups here are larger than the differences.
      Run install, copy, timed;
      install.seconds = copy.seconds = timed.seconds = 1e30;
      install.ok = copy.ok = timed.ok = true;
      for (int round = 0; round < (count >= 100000 ? 1 : 3); ++round) {
        fs::remove_all(game / "Bench");
        fs::remove_all(root / "copy");
        sync();
        const Run i = Time({TRILO_TERM_SETUP, "-C", (root / "package").string(), "--unattended", "--game-exe",
                            (game / "f1_9902.exe").string(), "--config", (game / "CONFIG.INI").string()});
        sync();
        const Run c = Time({"/bin/cp", "-r", (root / "package" / "content").string(), (root / "copy").string()});
        fs::remove_all(root / "copy");
        sync();
        const Run t = Time({"/bin/cp", "-r", "--preserve=timestamps", (root / "package" / "content").string(),
                            (root / "copy").string()});
        install.ok = install.ok && i.ok;
        copy.ok = copy.ok && c.ok && t.ok;
        if (i.seconds < install.seconds)
          install = Run{i.seconds, i.userSeconds, std::max(install.peakKiB, i.peakKiB), install.ok};
        if (c.seconds < copy.seconds) copy = Run{c.seconds, c.userSeconds, 0, copy.ok};
        timed.seconds = std::min(timed.seconds, t.seconds);
      }
      if (!install.ok || !copy.ok) {
        std::fprintf(stderr, "install_bench: %s failed for %d files\n", install.ok ? "cp" : "trilo-setup", count);
        return 1;
      }
      // User time per file, of the install and of cp -r: what each does
      // outside the kernel, which this machine's disk noise hardly touches.
      std::printf("%8d  %-10s  %10.3f  %10.3f  %6.2f  %10.3f  %6.2f  %9.1f  %9.1f  %9.2f  %9.2f\n", count,
                  folders ? "40 folders" : "one folder", install.seconds, copy.seconds, install.seconds / copy.seconds,
                  timed.seconds, install.seconds / timed.seconds, 1e6 * install.seconds / count,
                  install.peakKiB / 1024.0, 1e6 * install.userSeconds / count, 1e6 * copy.userSeconds / count);
      std::fflush(stdout);
    }
  }
  fs::remove_all(root);
  return 0;
}
