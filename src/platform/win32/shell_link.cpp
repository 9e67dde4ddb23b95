#include "platform/shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace trilo {

void InitComponentLibrary() { CoInitialize(nullptr); }

namespace {

Status Failure(const std::string& path, HRESULT hr) {
  return SystemError(path, HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : hr, Status::Phase::Write);
}

}  // namespace

Status WriteShellLink(const std::string& target, const std::string& linkPath, const std::string& workingDir,
                      const std::string& arguments, const std::string& iconPath, const std::string& description,
                      std::vector<std::string>& unset, const std::string& temporary) {
  auto report = [&unset](const char* message) { unset.push_back(message); };
  IShellLinkA* link = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link));
  if (FAILED(hr)) return Failure(linkPath, hr);
  IPersistFile* file = nullptr;
  hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (FAILED(hr)) {
    link->Release();
    return Failure(linkPath, hr);
  }

  // A property that cannot be set is reported; the others are still set.
  if (FAILED(link->SetPath(target.c_str()))) report("SetPath failed!");
  if (FAILED(link->SetDescription(description.c_str()))) report("SetDescription failed!");
  if (FAILED(link->SetWorkingDirectory(workingDir.c_str()))) report("SetWorkingDirectory failed!");
  if (FAILED(link->SetArguments(arguments.c_str()))) report("SetArguments failed!");
  if (FAILED(link->SetIconLocation(iconPath.c_str(), 0))) report("SetIconLocation failed!");

  // A name that does not fit the buffer makes the conversion fail; saving
  // under a cut name would write some other file.
  // Saved in full under the temporary name first, when there is one, then
  // renamed over the old shortcut: Save rewrites a file in place, and a
  // shortcut cut short by a crash would be neither the old nor the new.
  const std::string& savedPath = temporary.empty() ? linkPath : temporary;
  WCHAR wideLinkPath[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, savedPath.c_str(), -1, wideLinkPath, MAX_PATH) == 0) {
    const DWORD error = GetLastError();
    hr = error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  } else {
    hr = file->Save(wideLinkPath, TRUE);
    if (SUCCEEDED(hr) && !temporary.empty() &&
        !MoveFileExA(temporary.c_str(), linkPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      hr = HRESULT_FROM_WIN32(GetLastError());
    if (FAILED(hr) && !temporary.empty()) DeleteFileA(temporary.c_str());
  }
  file->Release();
  link->Release();
  return SUCCEEDED(hr) ? Status() : Failure(linkPath, hr);
}

}  // namespace trilo
