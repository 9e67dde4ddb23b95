#pragma once
#include <map>
#include <string>

#include "install/install_flow.h"
#include "test_support.h"

namespace trilo {
namespace test {

/// Every file and folder under a folder: its path below it ("/" between
/// steps) with the file's bytes, or "<folder>".
using Tree = std::map<std::string, std::string>;
Tree ReadTree(const std::string& folder);

/// A core path as the standard library takes it.
std::string Native(const std::string& corePath);

/// The sample package in `pkg` installed into the sample game in `game`
/// through the Install handler, as the front ends run it, answering
/// nothing (both folders are core paths ending in "\").
InstallResult InstallSample(const std::string& pkg, const std::string& game, const std::string& version);

/// An undo as the front ends run it: the game named, the question answered
/// Yes; `ui` keeps what was shown.
UndoResult UndoInstall(const std::string& pkg, const std::string& game, const std::string& name, bool force,
                       ScriptedInteraction& ui);

}  // namespace test
}  // namespace trilo
