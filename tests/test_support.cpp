#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/filesystem.h"
#include "platform/system_info.h"
#include "text/code_page.h"
#include "text/text_util.h"
#ifndef _WIN32
#include "platform/posix/path_map.h"
#endif

namespace fs = std::filesystem;

namespace trilo {
namespace test {

namespace {

std::string ToCore(const fs::path& p) { return CorePath(p.string()); }

// A core path for std::filesystem, which takes a narrow name on Windows in
// no particular code page: given in UTF-16 there, it means what the system
// functions mean by it.
fs::path FsPath(const std::string& corePath) {
#ifdef _WIN32
  const int n = MultiByteToWideChar(CP_ACP, 0, corePath.data(), static_cast<int>(corePath.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, corePath.data(), static_cast<int>(corePath.size()), &wide[0], n);
  return fs::path(wide);
#else
  return fs::path(SystemPath(corePath));
#endif
}

}  // namespace

#ifdef _WIN32
std::string SystemPath(const std::string& corePath) { return corePath; }
std::string CorePath(const std::string& systemPath) { return ToBackslashes(systemPath, ActiveCodePage()); }
#else
std::string SystemPath(const std::string& corePath) {
  std::string native;
  ExactNativePath(corePath, native);
  return native;
}
std::string CorePath(const std::string& systemPath) { return FromNativePath(systemPath); }
#endif

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  std::mt19937 rng(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (;;) {
    fs::path p = fs::temp_directory_path() /
                 ("trilo-test-" + std::to_string(rng() % 1000000) + "-" + std::to_string(counter++));
    std::error_code ec;
    if (fs::create_directory(p, ec)) {
      native_ = p.string();
      path_ = ToCore(p) + "\\";
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  // Leave the folder before removing it (Windows cannot remove a current folder).
  fs::current_path(fs::temp_directory_path(), ec);
  // Read-only files made by tests must not outlive them.
  for (auto it = fs::recursive_directory_iterator(native_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(native_, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = nullptr;
  OpenFile(path, "wb", f);
  ASSERT_NE(f, nullptr) << path;
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
}

std::string ReadFile(const std::string& path) {
  std::FILE* f = nullptr;
  OpenFile(path, "rb", f);
  if (!f) return "<missing " + path + ">";
  std::string out;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return out;
}

bool FileExists(const std::string& path) { return PathExists(path); }

bool IsFolder(const std::string& path) {
  std::string probe = path;
  if (!probe.empty() && probe.back() != '\\') probe += '\\';
  return PathExists(probe + ".");
}

void MakeFolder(const std::string& path) {
  std::error_code ec;
  fs::create_directories(FsPath(path), ec);
  ASSERT_FALSE(ec) << path << ": " << ec.message();
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& item : fs::directory_iterator(FsPath(path), ec)) names.push_back(item.path().filename().u8string());
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveFile(const std::string& path) { ASSERT_TRUE(trilo::RemoveFile(path)) << path; }

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& path) : saved_(GetCurrentFolder()) {
  EXPECT_TRUE(SetCurrentFolder(path)) << path;
}

ScopedCurrentFolder::~ScopedCurrentFolder() { SetCurrentFolder(saved_); }

void ScriptedInteraction::ShowMessage(const std::string& text) {
  messages.push_back(text);
  log.push_back("message:" + text);
}

void ScriptedInteraction::ShowNotice(Notice notice) {
  notices.push_back(notice);
  log.push_back(std::string("notice:") + NoticeText(notice));
}

bool ScriptedInteraction::LocateFile(LocateRequest& request) {
  locateRequests.push_back(request);
  log.push_back("locate:" + request.prompt);
  if (locate.empty()) {
    ADD_FAILURE() << "unexpected Locate File question: " << request.prompt;
    return false;
  }
  LocateAnswer a = locate.front();
  locate.pop_front();
  if (!a.ok) return false;
  if (!a.acceptProposal) request.path = a.path;
  return true;
}

bool ScriptedInteraction::ChooseVersion(const std::vector<std::string>& list, std::string& chosen) {
  versionRequests.push_back(list);
  log.push_back("version");
  if (versions.empty()) {
    ADD_FAILURE() << "unexpected version question";
    return false;
  }
  auto a = versions.front();
  versions.pop_front();
  if (a.first) chosen = a.second;
  return a.first;
}

void ScriptedInteraction::ShowSplash(const std::string& imagePath, int delayMs) {
  splashes.emplace_back(imagePath, delayMs);
  log.push_back("splash:" + imagePath);
}

bool ScriptedInteraction::AskYesNo(const std::string& question, const std::string&) {
  questions.push_back(question);
  log.push_back("ask:" + question);
  if (yesNo.empty()) {
    ADD_FAILURE() << "unexpected question: " << question;
    return false;
  }
  bool yes = yesNo.front();
  yesNo.pop_front();
  return yes;
}

void RecordingProgress::SetRange(int count) {
  calls.push_back("range:" + std::to_string(count));
  range = count;
  position = 0;
}
void RecordingProgress::ShowSource(const std::string& text) {
  calls.push_back("source:" + text);
  source = text;
}
void RecordingProgress::ShowDestination(const std::string& text) {
  calls.push_back("dest:" + text);
  destination = text;
}
void RecordingProgress::Step() {
  calls.push_back("step");
  ++position;
}
void RecordingProgress::PumpMessages() { calls.push_back("pump"); }
void RecordingProgress::ClearTexts() {
  calls.push_back("clear");
  source.clear();
  destination.clear();
}

std::string Example(const std::string& relative) {
  std::string path = std::string(TRILO_SOURCE_DIR) + "/examples/" + relative;
#ifdef _WIN32
  if (path[0] == '/') path = "Z:" + path;  // the Linux build host, as Wine sees it
#endif
  return ToBackslashes(path, CodePage());
}

}  // namespace test
}  // namespace trilo
