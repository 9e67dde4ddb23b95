#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace trilo {

/// A verbatim text of the game database, seen as chunks of 129 characters:
/// every chunk but the last is full, the last holds 0 to 128. The text is
/// kept as one string and the chunks are views into it, so a short text
/// costs what it holds.
class BlockText {
 public:
  static constexpr std::size_t kChunkSize = 129;
  static constexpr int kMaxChunks = 1000;
  /// 999 full chunks and 128 characters.
  static constexpr std::size_t kMaxLength = kChunkSize * kMaxChunks - 1;

  /// Replaces the text; false (and nothing changed) when it is too long.
  bool Assign(std::string_view text);

  /// 0 for a text never read, else length / 129 + 1.
  int ChunkCount() const;
  std::string_view Chunk(int index) const;
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  bool read_ = false;
};

}  // namespace trilo
