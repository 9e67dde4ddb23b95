#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

namespace trilo {

/// Whether an open handle or stream is a file on a disk, not a pipe, a
/// console or another device, whose reads may wait for ever.
bool IsDiskFile(HANDLE handle);
bool IsDiskFile(std::FILE* file);

/// Whether a path opens as something other than a file on a disk (a named
/// pipe, "CON", "NUL", "COM1"). False when it does not open at all: what
/// then happens is for the caller's own open to tell.
bool NamesDevice(const std::string& path);

}  // namespace trilo
