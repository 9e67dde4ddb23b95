// Whole unattended installs by the real trilo-setup, of N files into one
// folder and of N files spread over 40 folders, each against `cp -r` of the
// same files in the same run, and against `cp -r --preserve=timestamps`,
// which keeps modification times as the install does. The "replace" layouts
// install the same package again over its last install, so that every file
// is replaced (and kept in the install record), against both copies over an
// existing copy. Prints one table row per case: the ratios and the time per
// file are what count; the user times per file show how much of the gap is
// the installer's own work.
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

// One row of the table: the best of a few rounds of the install and of
// both copies, taken in turns. A new-file layout installs and copies onto
// fresh targets each round; a replacing one installs again over the last
// round's install (so every file is replaced and kept in that round's
// record) and copies over the last round's copy.
struct Row {
  Run install, copy, timed;
};

bool Measure(const fs::path& root, int count, bool replace, Row& row) {
  const fs::path game = root / "game", content = root / "package" / "content", copy = root / "copy";
  const std::vector<std::string> setup = {TRILO_TERM_SETUP,
                                          "-C",
                                          (root / "package").string(),
                                          "--unattended",
                                          "--game-exe",
                                          (game / "f1_9902.exe").string(),
                                          "--config",
                                          (game / "CONFIG.INI").string()};
  // -T: over the copy that is there, not into a new folder inside it.
  const std::vector<std::string> cp = {"/bin/cp", "-rT", content.string(), copy.string()};
  std::vector<std::string> cpp = cp;
  cpp.insert(cpp.begin() + 2, "--preserve=timestamps");
  row.install.seconds = row.copy.seconds = row.timed.seconds = 1e30;
  bool ok = !replace || (Time(setup).ok && Time(cp).ok);
  // The file system's own hiccups here are larger than the differences.
  for (int round = 0; ok && round < (count >= 100000 ? 1 : 3); ++round) {
    if (replace) {
      // Only this round's record is kept: the others would fill the disk.
      fs::remove_all(game / "trilo-records");
    } else {
      fs::remove_all(game / "Bench");
      fs::remove_all(copy);
    }
    sync();
    const Run i = Time(setup);
    sync();
    const Run c = Time(cp);
    if (!replace) fs::remove_all(copy);
    sync();
    const Run t = Time(cpp);
    ok = i.ok && c.ok && t.ok;
    if (i.seconds < row.install.seconds) row.install = Run{i.seconds, i.userSeconds, row.install.peakKiB, true};
    row.install.peakKiB = std::max(row.install.peakKiB, i.peakKiB);
    if (c.seconds < row.copy.seconds) row.copy = c;
    row.timed.seconds = std::min(row.timed.seconds, t.seconds);
  }
  return ok;
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

  std::printf("%8s  %-20s  %10s  %10s  %6s  %10s  %6s  %9s  %9s  %9s  %9s\n", "files", "layout", "install s",
              "cp -r s", "ratio", "cp -rp s", "ratio", "us/file", "peak MiB", "user us", "cp user");
  for (int count : counts) {
    for (bool replace : {false, true}) {
      for (int folders : {0, 40}) {
        Lay(root, count, folders);
        Row row;
        if (!Measure(root, count, replace, row)) {
          std::fprintf(stderr, "install_bench: an install or a copy failed for %d files\n", count);
          return 1;
        }
        const std::string layout = std::string(replace ? "replace, " : "") + (folders ? "40 folders" : "one folder");
        // User time per file, of the install and of cp -r: what each does
        // outside the kernel, which this machine's disk noise hardly touches.
        const Run& i = row.install;
        std::printf("%8d  %-20s  %10.3f  %10.3f  %6.2f  %10.3f  %6.2f  %9.1f  %9.1f  %9.2f  %9.2f\n", count,
                    layout.c_str(), i.seconds, row.copy.seconds, i.seconds / row.copy.seconds, row.timed.seconds,
                    i.seconds / row.timed.seconds, 1e6 * i.seconds / count, i.peakKiB / 1024.0,
                    1e6 * i.userSeconds / count, 1e6 * row.copy.userSeconds / count);
        std::fflush(stdout);
      }
    }
  }
  fs::remove_all(root);
  return 0;
}
