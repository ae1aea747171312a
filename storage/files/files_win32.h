// What the Windows implementations of the file services share: the one
// place that turns an error code into a failure, the identity and kind of
// an open file, and the opening of a name with every sharing allowed (a
// reader never stands in the way of a writer's rename).
#pragma once

#include <windows.h>

#include <string>

#include "file_error.h"
#include "file_identity.h"
#include "win32_text.h"

// SystemFailure(format, the system's words), of the kind the code tells
// (not found: NotFound, exists: Exists, sharing or lock violation: Busy;
// System otherwise).
FileError WinFailure(const char* format, DWORD code);

// The file an open handle reads or writes, and its kind (a disk file, a
// folder, a pipe, a device); exists is false when the system cannot tell.
FileIdentity IdentifyHandle(HANDLE handle);

// Opens `path` for looking at it (not for reading its bytes), following
// links unless `ownName`; INVALID_HANDLE_VALUE with GetLastError() set when
// it cannot.
HANDLE OpenForIdentity(const std::string& path, bool ownName);
