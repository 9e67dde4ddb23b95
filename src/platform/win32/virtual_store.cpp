#include "platform/virtual_store.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdlib>

#include "platform/system_info.h"
#include "text/text_util.h"

namespace trilo {

namespace {

std::string& GivenStore() {
  static std::string store;
  return store;
}

std::string KnownFolder(int id) {
  char path[MAX_PATH] = "";
  return SUCCEEDED(SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

// Whether `path` lies inside `folder` (given without a trailing "\").
bool Inside(const std::string& path, const std::string& folder) {
  return !folder.empty() && path.size() > folder.size() + 1 && path[folder.size()] == '\\' &&
         EqualsIgnoreCase(path.substr(0, folder.size()), folder);
}

}  // namespace

std::string VirtualStoreFolder() {
  if (!GivenStore().empty()) return GivenStore();
  const std::string local = KnownFolder(CSIDL_LOCAL_APPDATA);
  return local.empty() ? local : local + "\\VirtualStore";
}

void UseVirtualStore(const std::string& folder) { GivenStore() = folder; }

std::string VirtualStorePath(const std::string& path) {
  // Only drive paths are virtualised; the copy drops the "C:".
  if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return std::string();
  const char* w6432 = std::getenv("ProgramW6432");
  const std::string roots[] = {KnownFolder(CSIDL_PROGRAM_FILES), KnownFolder(CSIDL_PROGRAM_FILESX86),
                               w6432 ? w6432 : "", KnownFolder(CSIDL_WINDOWS), KnownFolder(CSIDL_COMMON_APPDATA)};
  const std::string store = VirtualStoreFolder();
  if (store.empty()) return std::string();
  for (const std::string& root : roots)
    if (Inside(path, root)) return store + path.substr(2);
  return std::string();
}

}  // namespace trilo
