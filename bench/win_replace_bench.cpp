// What a replaced file costs under Wine: N files copied over files that are
// there with CopyFileA alone, then the same files copied over their first
// copies in a game folder through the install record, as the copy step does
// (every file is moved into the record, then copied). Prints both times and
// the ratio. Wine's timings say little about Windows': there is no goal.
//
//   win_replace_bench [N]       default 2000 (Wine searches a folder for
//                               every new name: more take long)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "install/install_record.h"
#include "platform/file_ops.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Put(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "0123456789abcdef0123456789abcdef0123456789abcdef", 48, &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "trilo-replace-bench\\";
  const std::string source = root + "source\\", plain = root + "plain\\", game = root + "game\\";
  for (const std::string& folder : {root, source, plain, game, game + "Bench\\"})
    CreateDirectoryA(folder.c_str(), nullptr);
  auto name = [](int i) { return "file" + std::to_string(i) + ".dat"; };
  // Every destination is there before the rounds that are timed.
  for (int i = 0; i < count; ++i) {
    Put(source + name(i));
    CopyFileA((source + name(i)).c_str(), (plain + name(i)).c_str(), FALSE);
    CopyFileA((source + name(i)).c_str(), (game + "Bench\\" + name(i)).c_str(), FALSE);
  }

  LARGE_INTEGER frequency, start, middle, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) CopyFileA((source + name(i)).c_str(), (plain + name(i)).c_str(), FALSE);
  QueryPerformanceCounter(&middle);
  trilo::RecordHeader header;
  header.title = "Replace bench";
  trilo::InstallRecord record(game, root, header);
  int failed = 0;
  for (int i = 0; i < count; ++i) {
    const std::string to = game + "Bench\\" + name(i);
    trilo::RecordedChange change = record.BeforeCopy(to);
    const trilo::Status copied = trilo::CopyFileReplacing(source + name(i), to, change.Announcement());
    change.Settle(copied.Ok());
    if (!copied) ++failed;
  }
  record.Finish(failed == 0);
  QueryPerformanceCounter(&end);

  const double copies = Seconds(start, middle, frequency), recorded = Seconds(middle, end, frequency);
  std::printf("%d files replaced: CopyFileA over them %.3f s, through the install record %.3f s (%.1f us per file), "
              "ratio %.2f%s\n",
              count, copies, recorded, 1e6 * recorded / count, recorded / copies, failed ? ", COPIES FAILED" : "");
  // The trees go with the shell's own removal: quicker than file by file here.
  const std::string remove = "cmd /c rd /s /q \"" + root.substr(0, root.size() - 1) + "\"";
  std::system(remove.c_str());
  return failed ? 1 : 0;
}
