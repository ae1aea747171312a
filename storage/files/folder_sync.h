// Making a folder's entries safe on the disk: a file renamed into place, or
// a name removed, is only sure to survive a power cut once its folder has
// been flushed.
#pragma once

#include <string>

#include "file_error.h"

// Flushes the folder `path` is in; SystemFailure(format, reason) when that
// failed.
bool FlushFolderOf(const std::string& path, const char* format, FileError& error);

// The operating system's part (folder_sync_posix.cpp, folder_sync_win32.cpp).

// Flushes the entries of `folder` to the disk. False with the system's
// reason told through `format` ("cannot write: %1" gives "cannot write:
// Input/output error") when that failed; a file system that has nothing to
// flush for a folder succeeds.
bool SyncFolder(const std::string& folder, const char* format, FileError& error);
