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

// The operating system's part (read_file_posix.cpp, read_file_win32.cpp).

// The one reader. Opens `path` only when it is a regular file (checked by
// name first, so that a device is never opened at all, and again on the open
// file, in case the name changed between) and without waiting on anything;
// refuses it unread when it holds more than `openLimit` bytes; reads its
// first `readLimit` bytes into `data`, and `longer` tells whether it held
// more. `identity`, when given, receives the file that was read, taken from
// the open file. Fails with NotFound ("file not found", also for an empty
// name), NotRegular, TooLarge or System ("cannot read: <reason>"), and then
// `data` is empty.
bool ReadRegularFile(const char* path, size_t openLimit, size_t readLimit,
                     std::vector<unsigned char>& data, bool& longer, FileIdentity* identity,
                     FileError& error);
