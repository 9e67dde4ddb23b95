#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "platform/user_path.h"
#include "shortcut_check.h"
#include "test_support.h"
#include "text/text_util.h"

namespace trilo {
namespace test {

namespace {

std::string ShellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// lnkinfo prints "\tName\t\t: value"; the value keeps its own leading blank.
std::map<std::string, std::string> ReadFields(const std::string& output) {
  std::map<std::string, std::string> fields;
  size_t pos = 0;
  while (pos < output.size()) {
    size_t end = output.find('\n', pos);
    if (end == std::string::npos) end = output.size();
    const std::string line = output.substr(pos, end - pos);
    pos = end + 1;
    const size_t colon = line.find(": ");
    if (line.empty() || line[0] != '\t' || colon == std::string::npos) continue;
    std::string name = line.substr(1, colon - 1);
    while (!name.empty() && name.back() == '\t') name.pop_back();
    fields[name] = line.substr(colon + 2);
  }
  return fields;
}

void ExpectField(const std::map<std::string, std::string>& fields, const std::string& name,
                 const std::string& expected, const std::string& lnk) {
  auto it = fields.find(name);
  if (expected.empty()) {
    EXPECT_TRUE(it == fields.end() || it->second.empty()) << lnk << ": unexpected " << name << ": " << it->second;
  } else if (it == fields.end()) {
    ADD_FAILURE() << lnk << ": no " << name << " (expected " << expected << ")";
  } else {
    EXPECT_EQ(it->second, expected) << lnk << ": " << name;
  }
}

}  // namespace

void ExpectShortcut(const std::string& lnkPath, const ExpectedShortcut& expected) {
  ASSERT_TRUE(FileExists(lnkPath)) << lnkPath;
  const std::string native = SystemPath(lnkPath);
  std::FILE* pipe = popen(("lnkinfo " + ShellQuote(native) + " 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) output.append(buf, n);
  ASSERT_EQ(pclose(pipe), 0) << "lnkinfo could not read " << lnkPath << ":\n" << output;

  const auto fields = ReadFields(output);
  ExpectField(fields, "Local path", expected.localPath, lnkPath);
  ExpectField(fields, "Description", expected.description, lnkPath);
  ExpectField(fields, "Working directory", expected.workingDir, lnkPath);
  ExpectField(fields, "Command line arguments", expected.arguments, lnkPath);
  ExpectField(fields, "Icon location", expected.iconLocation, lnkPath);
}

std::string ShownPath(const std::string& corePath) { return "Z:" + TextForUser(corePath); }

std::string SystemText(const std::string& utf8) {
  std::string text;
  return TextFromUser(utf8, text) ? text : std::string();
}

}  // namespace test
}  // namespace trilo
