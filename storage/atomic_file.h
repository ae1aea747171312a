// Reading a small file whole, and replacing a file so that it always holds
// either its old or its complete new contents: the bytes go to a temporary
// file beside the target, are flushed to the disk, and the temporary is then
// renamed over the target. A crash, a kill or a full disk never leaves a
// half-written or empty file behind.
//
// Every file the programs read is opened through OpenRegularFile: a named
// pipe, a device, a socket or a directory is refused before anything could
// wait on it, and so is a file larger than its format can hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The reason given for a file that does not exist.
constexpr const char* kFileNotFound = "file not found";

// A size limit that admits any file.
constexpr size_t kAnySize = SIZE_MAX;

// Opens `path` for reading without blocking and returns its descriptor, or
// -1 with the reason in `error`: kFileNotFound, "not a regular file (a named
// pipe)" and the like, "the file is larger than N bytes" when it holds more
// than `limit` bytes, or "cannot read: <system reason>". The caller closes
// the descriptor.
int OpenRegularFile(const char* path, size_t limit, std::string& error);

// Reads the whole of `path` into `data`; refused as OpenRegularFile refuses,
// and when it holds more than `limit` bytes.
bool ReadFileBytes(const char* path, size_t limit, std::vector<unsigned char>& data,
                   std::string& error);

// Reads the first `limit` bytes of `path` into `data` (fewer when the file is
// shorter); a longer file is not refused, and `longer` tells whether it was.
bool ReadFileStart(const char* path, size_t limit, std::vector<unsigned char>& data,
                   bool& longer, std::string& error);

// Writes `size` bytes to `path` atomically. On failure returns false with a
// reason ("cannot write: No space left on device") in `error`; the old file,
// if any, is left as it was and the temporary file is removed. A target that
// exists but is not a regular file (a directory, a named pipe) is refused.
bool WriteFileAtomically(const char* path, const unsigned char* data, size_t size,
                         std::string& error);

// Removes the temporary files that WriteFileAtomically(path) leaves behind
// when the process is killed during the write ("<path>.tmp" and six letters
// or digits), unless a writer still holds them. Nothing else is touched.
// Returns the number removed.
int RemoveLeftoverTemporaries(const char* path);

// Deletes `path`; a file that does not exist is no error.
bool RemoveFileIfPresent(const char* path, std::string& error);

// Renames `path` to "<path>.damaged-YYYYMMDD-HHMMSS" (local time; "-2", "-3",
// ... appended when that name is taken), never replacing another file. On
// success `keptAs` holds the new name.
bool MoveFileAside(const char* path, std::string& keptAs, std::string& error);

// The absolute form of a path relative to the working directory, for
// messages that tell the user where a file is.
std::string AbsolutePath(const std::string& path);

// Test hook: when `bytes` is 0 or more, every later atomic write fails with
// "No space left on device" once that many bytes have been written; -1 (the
// default) turns the hook off.
void SetAtomicWriteFailAfter(long bytes);
