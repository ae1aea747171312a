// Replacing or removing a file without ever destroying another: whatever
// had the name when the new file took it (even a file put there a moment
// before, by another process, after the caller looked) is moved to a name
// that keeps it, and dropped only when the caller says it need not be kept.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "file_error.h"
#include "file_identity.h"

// Whether the file that had the name, now at `displaced`, must be kept:
// false lets it be deleted.
using KeepDisplaced = std::function<bool(const std::string& displaced)>;

struct Displacement {
  bool done = false;    // the new file (or, for a removal, no file) has the name
  std::string keptAs;   // where a displaced file that must be kept now is
  FileIdentity written; // the new file, taken from the handle that wrote it
};

// Writes `path` as WriteFileAtomically does, through links, but swaps the
// new file in: what had the name goes to "<name>.<label>-YYYYMMDD-HHMMSS"
// (as MoveFileAside names it), where `keep` decides about it. Anything but a
// regular file there (a folder, a named pipe, a link to either, a loop of
// links) is displaced whole, not refused. False with the reason when the
// write failed; `result.done` then tells whether the new file has the name
// all the same (only the folder's flush failed).
bool WriteFileDisplacing(const char* path, const unsigned char* data, size_t size,
                         const char* label, const KeepDisplaced& keep, Displacement& result,
                         FileError& error);

// Removes what `path` names the same way: it is moved aside, then deleted
// unless `keep` says otherwise. No file there is no error.
bool RemoveFileDisplacing(const char* path, const char* label, const KeepDisplaced& keep,
                          Displacement& result, FileError& error);
