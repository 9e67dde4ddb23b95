#include "formats/block_text.h"

namespace trilo {

bool BlockText::Assign(std::string_view text) {
  if (text.size() > kMaxLength) return false;
  text_.assign(text.data(), text.size());
  read_ = true;
  return true;
}

int BlockText::ChunkCount() const {
  return read_ ? static_cast<int>(text_.size() / kChunkSize) + 1 : 0;
}

std::string_view BlockText::Chunk(int index) const {
  if (index < 0 || index >= ChunkCount()) return std::string_view();
  std::size_t start = static_cast<std::size_t>(index) * kChunkSize;
  return std::string_view(text_).substr(start, kChunkSize);
}

}  // namespace trilo
