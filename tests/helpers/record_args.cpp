// Started by the command tests: writes its current folder and then each of
// its arguments, one a line, to a file, and exits with the code it is given.
// Usage: record_args OUTPUT-FILE EXIT-CODE [ARGUMENTS...]
#include <cstdlib>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
  if (argc < 3) return 100;
  std::ofstream out(argv[1], std::ios::binary);
  out << std::filesystem::current_path().string() << '\n';
  for (int i = 3; i < argc; ++i) out << argv[i] << '\n';
  out.close();
  return out ? std::atoi(argv[2]) : 101;
}
