#include "platform/system_info.h"

#include <time.h>
#include <unistd.h>

#include "text/text_util.h"

namespace trilo {

std::string ProgramName() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return FileStem(n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string("trilo-setup"));
}

std::string LocalTimeText() {
  const time_t now = time(nullptr);
  struct tm local;
  char text[32];
  if (!localtime_r(&now, &local) || strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) return "";
  return text;
}

}  // namespace trilo
