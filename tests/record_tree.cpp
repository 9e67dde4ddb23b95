#include "record_tree.h"

#include <filesystem>

#include "test_support.h"
#include "text/code_page.h"
#include "text/text_util.h"

namespace fs = std::filesystem;

namespace trilo {
namespace test {

std::string Native(const std::string& corePath) {
#ifdef _WIN32
  return corePath;
#else
  return ToSlashes(corePath, CodePage());
#endif
}

Tree ReadTree(const std::string& folder) {
  Tree tree;
  const fs::path root(Native(folder));
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    const std::string relative = item.path().lexically_relative(root).generic_string();
    tree[relative] = item.is_directory() ? "<folder>" : ReadFile(ToBackslashes(item.path().string(), CodePage()));
  }
  return tree;
}

InstallResult InstallSample(const std::string& pkg, const std::string& game, const std::string& version) {
  ScriptedInteraction ui;
  InstallerApp app(ui);
  ScopedCurrentFolder in(pkg);
  app.StartUp();
  app.State.SelectedVersion = version;
  PathFields fields{game + "f1_9902.exe", game + "CONFIG.INI", game + "Save\\Driver1\\Driver1.PLR"};
  RecordingProgress progress;
  return HandleInstall(app, fields, progress, nullptr);
}

UndoResult UndoInstall(const std::string& pkg, const std::string& game, const std::string& name, bool force,
                       ScriptedInteraction& ui) {
  InstallerApp app(ui);
  app.WorkingDir = pkg;
  ui.Answer(game + "f1_9902.exe");
  ui.yesNo.push_back(true);
  UndoJob job;
  const UndoResult prepared = PrepareUndo(app, name, force, job);
  if (prepared != UndoResult::Undone) return prepared;
  RecordingProgress progress;
  return RunUndoJob(app, job, progress);
}

}  // namespace test
}  // namespace trilo
