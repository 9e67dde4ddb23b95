#pragma once

namespace trilo {

/// The system code page of 8-bit text: GetACP() on Windows; 0 (no lead
/// bytes) on POSIX, where file names are UTF-8 or plain bytes.
unsigned ActiveCodePageId();

}  // namespace trilo
