// Reading a small file whole, safely: every file the programs read is read
// through ReadRegularFile, so that a named pipe, a device, a socket or a
// folder is refused before anything could wait on it, and so is a file
// larger than its format can hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "file_error.h"
#include "file_identity.h"

// A size limit that admits any file.
constexpr size_t kAnySize = SIZE_MAX;

// Reads the whole of `path` into `data`; refused as ReadRegularFile refuses,
// and when it holds more than `limit` bytes ("the file is larger than 7
// KB"). `identity`, when given, receives the file that was read.
bool ReadFileBytes(const char* path, size_t limit, std::vector<unsigned char>& data,
                   FileError& error, FileIdentity* identity = nullptr);

// Reads the first `limit` bytes of `path` into `data` (fewer when the file is
// shorter); a longer file is not refused, and `longer` tells whether it was.
bool ReadFileStart(const char* path, size_t limit, std::vector<unsigned char>& data,
                   bool& longer, FileError& error);

// The operating system's part (read_file_posix.cpp, read_file_win32.cpp):
// the open file the one reader (read_file.cpp) reads.

struct OpenedFile;  // the system's open file, as each implementation keeps it

// Opens `path` only when it is a regular file (checked by name first, so
// that a device is never opened at all, and again on the open file, in case
// the name changed between) and without waiting on anything; refuses it
// unread when it holds more than `openLimit` bytes. `identity` receives the
// file that was opened, taken from the open file. Null on failure, with
// NotFound ("file not found", also for an empty name), NotRegular, TooLarge
// or System ("cannot read: <reason>").
OpenedFile* OpenRegularFile(const char* path, size_t openLimit, FileIdentity& identity,
                            FileError& error);

// Reads at most `size` bytes into `buffer`: how many (0 at the end of the
// file), or -1 with the reason ("cannot read: <reason>").
std::ptrdiff_t ReadOpenedFile(OpenedFile* file, unsigned char* buffer, size_t size, FileError& error);

// Closes the file.
void CloseOpenedFile(OpenedFile* file);
