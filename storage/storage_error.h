// The reason the last game-file or configuration-file operation failed, for
// the window program to show after an explicit "Load Game" or "Save Game",
// and its kind, for code that decides what to do next.
#pragma once

#include <string>

#include "file_error.h"

enum class StorageFault {
  None,
  FileNotFound,  // no file of that name (or no name at all)
  FileRefused,   // not a file the program reads or replaces: a folder, a pipe, too large
  FileFailed,    // the system could not read, write, rename or delete it
  NotAccepted,   // read, but not a game or settings the program accepts, or nothing to save
};

// A short human-readable reason ("file not found", "cannot write: Permission
// denied"); empty after an operation that succeeded.
const char* StorageError();

// The kind of the last failure; None after an operation that succeeded.
StorageFault LastStorageFault();

// Records a failure of the file services for StorageError. Returns false so
// that a failing operation can end with `return SetStorageError(...)`.
bool SetStorageError(const FileError& error);

// Records `reason` for a file whose contents (or a request) the program
// does not accept. Returns false.
bool SetStorageError(const std::string& reason);

// Clears the reason at the start of an operation.
void ClearStorageError();
