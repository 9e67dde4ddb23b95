#include "platform/filesystem.h"

#include "platform/file_ops.h"

namespace trilo {

Status ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::FILE* file = nullptr;
  const Status opened = OpenFile(path, "rb", file);
  if (!opened) return opened.At(Status::Phase::Open);
  // Read straight into the string: as large as the file says it is, one
  // more byte to meet the end at once, doubled when the file grew meanwhile.
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  std::rewind(file);
  size_t used = 0;
  // OpenFile opens regular files only; a huge one is not reserved at once.
  const bool plausible = size >= 0 && size < (1L << 30);
  bytes.resize(plausible ? static_cast<size_t>(size) + 1 : size_t(1) << 16);
  size_t n;
  while ((n = std::fread(&bytes[used], 1, bytes.size() - used, file)) > 0) {
    used += n;
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
  }
  bytes.resize(used);
  const Status read = std::ferror(file) ? LastSystemError(path, Status::Phase::Read) : Status();
  std::fclose(file);
  return read;
}

Status ReadFileChunks(const std::string& path, const std::function<void(const char*, size_t)>& take) {
  // OpenFile refuses what is not a regular file on both systems.
  std::FILE* file = nullptr;
  const Status opened = OpenFile(path, "rb", file);
  if (!opened) return opened.At(Status::Phase::Open);
  char buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) take(buf, n);
  const Status read = std::ferror(file) ? LastSystemError(path, Status::Phase::Read) : Status();
  std::fclose(file);
  return read;
}

Status RelocateFile(const std::string& from, const std::string& to) {
  if (RenameReplacing(from, to)) return Status();
  const Status copied = CopyFileReplacing(from, to);
  return copied ? RemoveFile(from) : copied;
}

Status HashWholeFile(const std::string& path, ContentHash& hash) {
  return ReadFileChunks(path, [&hash](const char* bytes, size_t n) { hash.Add(bytes, n); });
}

}  // namespace trilo
