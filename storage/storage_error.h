// The reason the last game-file or configuration-file operation failed, for
// the window program to show after an explicit "Load Game" or "Save Game".
#pragma once

#include <string>

// A short human-readable reason ("file not found", "cannot write: Permission
// denied"); empty after an operation that succeeded.
const char* StorageError();

// Records `reason` for StorageError. Returns false so that a failing
// operation can end with `return SetStorageError(...)`.
bool SetStorageError(const std::string& reason);

// Clears the reason at the start of an operation.
void ClearStorageError();
