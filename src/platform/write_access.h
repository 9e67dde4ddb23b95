#pragma once
#include <string>

#include "platform/status.h"

// Whether this process may change a folder, and the restart with
// administrator rights that Windows offers when it may not.

namespace trilo {

/// Creates and removes at once a file in `folder` (ending in "\"), one that
/// a kill cannot leave behind: unnamed on Linux, deleted on close on Windows
/// (under a name from ReplacingFile::TemporaryPathBeside). Ok, or the
/// system's refusal, with the folder as its path.
Status ProbeWriteAccess(const std::string& folder);

/// The probe with a named file, made and removed: where the system has no
/// better way. Its failures, and `failure`, said of `folder`.
Status ProbeWithNamedFile(const std::string& folder);
Status InFolder(const std::string& folder, const Status& failure);

/// Whether the process runs with administrator rights: an elevated token on
/// Windows, the superuser on POSIX.
bool RunsElevated();

/// Starts `program` with administrator rights (the "runas" verb) in
/// `folder` with `arguments`, and waits for it, keeping the windows of this
/// thread painted. Ok with its exit status in `exitCode`; a failure that is
/// ERROR_CANCELLED (1223) when the person refused the elevation prompt. On
/// POSIX there is no such thing: always a failure.
Status RunElevated(const std::string& program, const std::string& arguments, const std::string& folder,
                   unsigned long& exitCode);

}  // namespace trilo
