#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "formats/game_database.h"

namespace trilo {

/// What of a database file the reader does not keep, and so a rewrite of
/// it leaves out.
enum class GdbDropKind {
  ValueLine,        ///< a value line that names no circuit read before it
  SettingsBlock,    ///< a folder actions block that names no circuit read before it
  RepeatedCircuit,  ///< a second "SeasonRaces" entry of one name
  UnknownSection,   ///< a section the reader does not know, stepped over whole
  Replaced,         ///< a value, block or scoring text a later one of the same name replaces
  FolderActions,    ///< "Circuit_Settings_Folder_Create_Actions", not written back
};

struct GdbDrop {
  GdbDropKind kind;
  int line;             ///< where it begins
  std::string section;  ///< the section it stands in, or the section itself
  std::string name;     ///< the circuit's or section's name, as read
  /// Replaced: the line that replaces it. RepeatedCircuit: the first entry.
  /// ValueLine, SettingsBlock: where "SeasonRaces" lists the name after it;
  /// else 0.
  int other = 0;
};

/// Everything the reader drops from one file, gathered as it reads.
class GdbDropFinder : public GdbReadObserver {
 public:
  /// `folderActions`: whether the folder actions section is written back.
  explicit GdbDropFinder(bool folderActions) : folderActions_(folderActions) {}

  void SectionOpened(const std::string& name, int line, bool known) override;
  void SectionClosed() override { inside_ = false; }
  void CircuitListed(const std::string& name, int line, bool added) override;
  void ValueRead(const std::string& section, const std::string& name, int line, bool attached) override;
  void CommentRead(int line) override;
  void ReadFailed(GdbError error, int line) override;

  /// The drops in line order, once the read is over.
  std::vector<GdbDrop> Drops() const;
  /// Circuits whose name holds "=" or a line end: no value line can name
  /// them, so they never get a value.
  const std::vector<std::pair<std::string, int>>& UnfitNames() const { return unfit_; }
  /// The lines that hold a comment.
  const std::vector<int>& CommentLines() const { return comments_; }
  /// Every "SeasonRaces" entry read, repeats included, with its line.
  const std::vector<std::pair<std::string, int>>& Entries() const { return entries_; }
  /// Where "SeasonRaces" first lists a circuit; 0 when it does not.
  int ListedAt(const std::string& name) const;

  /// The read's failure and where it stands, for its message.
  GdbError Error() const { return error_; }
  int ErrorLine() const { return errorLine_; }
  /// Whether the read ended inside a section, and which one was opened last.
  bool Inside() const { return inside_; }
  const std::string& OpenSection() const { return open_; }
  int OpenLine() const { return openLine_; }

 private:
  bool folderActions_;
  std::vector<GdbDrop> drops_;
  std::vector<std::pair<std::string, int>> unfit_;
  std::vector<int> comments_;
  std::vector<std::pair<std::string, int>> entries_;
  std::map<std::string, int> listed_;                              // circuit to its first entry
  std::map<std::pair<std::string, std::string>, int> valueLines_;  // section and circuit to the line kept
  std::map<std::string, int> scoring_;                             // scoring section to the header kept
  std::string open_;
  int openLine_ = 0;
  bool inside_ = false;
  GdbError error_ = GdbError::None;
  int errorLine_ = 0;
};

}  // namespace trilo
