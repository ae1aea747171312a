// Replacing a file so that it always holds either its old or its complete
// new contents: the bytes go to a temporary file beside it, are flushed to
// the disk, and the temporary is then renamed over the file. A crash, a
// kill or a full disk never leaves a half-written or empty file behind.
#pragma once

#include <cstddef>
#include <string>

#include "file_error.h"
#include "file_faults.h"
#include "file_identity.h"

// Writes `size` bytes to `path` atomically. On failure returns false with a
// reason ("cannot write: No space left on device") in `error`; the old file,
// if any, is left as it was and the temporary file is removed. A target that
// exists but is not a regular file (a directory, a named pipe) is refused.
// A symbolic link is written through: the file it points to is replaced
// (the temporary goes beside it) and the link stays; a dangling link creates
// its target when the target's folder exists. The file keeps the old one's
// permissions, always with read and write for its owner. `written`, when
// given, receives the new file, taken from the handle that wrote it.
//
// The one failure that comes after the new file is in place is the flush of
// its folder: without it the rename may not survive a power cut, so the
// write is reported as failed although the file holds the new bytes.
bool WriteFileAtomically(const char* path, const unsigned char* data, size_t size,
                         FileError& error, FileIdentity* written = nullptr);

// The name the temporary of a write of `path` begins with ("<path>.tmp",
// then six letters or digits).
std::string TemporaryPrefix(const std::string& path);

// The steps of a write, for the writes built on it (displace.cpp).

// The file a write of `path` goes to: links followed to a regular file or
// to none. Anything else there is refused, or, with `displaceOthers`, taken
// whole: the name itself is written, not what it leads to.
bool WriteTargetOf(const char* path, bool displaceOthers, std::string& target, FileError& error);

struct TemporaryFile;

// The temporary beside `target`, locked, written whole and flushed; its
// identity in `written`. On failure nothing is left behind.
bool StageTemporary(const std::string& target, const unsigned char* data, size_t size,
                    TemporaryFile& temp, FileIdentity& written, FileError& error);

// Once the temporary is in place of `target`: closed, and the folder
// flushed (a failure of that is the write's failure).
bool FinishWrite(TemporaryFile& temp, const std::string& target, FileError& error);

// The operating system's part (atomic_write_posix.cpp, atomic_write_win32.cpp):
// the temporary file. Failures read "cannot write: <reason>".

struct SystemFile;  // the system's open file, as each implementation keeps it

struct TemporaryFile {
  std::string name;            // where it is now
  SystemFile* file = nullptr;  // open for writing while not null
};

// Creates a new empty file beside `target` that no other file has the name
// of (TemporaryPrefix(target) and six letters or digits), open for writing.
// It has the permissions of `target` when that is a regular file, else the
// usual ones for a new file, and always reading and writing for its owner.
// NoFolder ("cannot write: the folder "x" does not exist") when the folder
// is missing.
bool CreateTemporary(const std::string& target, TemporaryFile& temp, FileError& error);

// Locks the temporary while it is open, so that clearing leftovers
// (RemoveUnheldFile) never takes it: Busy when another process holds it.
// A file system that has no locks is no failure.
bool LockTemporary(TemporaryFile& temp, FileError& error);

// Writes all `size` bytes.
bool WriteTemporary(TemporaryFile& temp, const unsigned char* data, size_t size, FileError& error);

// Flushes the file's contents to the disk; its identity goes to `identity`.
bool FlushTemporary(TemporaryFile& temp, FileIdentity& identity, FileError& error);

// Closes the file, which keeps its name; false with the reason when the
// system reported an error on closing.
bool CloseTemporary(TemporaryFile& temp, FileError& error);

// Closes the file (when open) and removes it under its present name.
void DiscardTemporary(TemporaryFile& temp);
