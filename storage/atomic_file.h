// Reading a small file whole, and replacing a file so that it always holds
// either its old or its complete new contents: the bytes go to a temporary
// file beside the target, are flushed to the disk, and the temporary is then
// renamed over the target. A crash, a kill or a full disk never leaves a
// half-written or empty file behind.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Writes `size` bytes to `path` atomically. On failure returns false with a
// reason ("cannot write: No space left on device") in `error`; the old file,
// if any, is left as it was and the temporary file is removed.
bool WriteFileAtomically(const char* path, const unsigned char* data, size_t size,
                         std::string& error);

// Reads at most `limit` bytes of `path` into `data`. On failure returns false
// with "file not found" for a missing file, else "cannot read: <reason>".
bool ReadFileBytes(const char* path, size_t limit, std::vector<unsigned char>& data,
                   std::string& error);

// Deletes `path`; a file that does not exist is no error.
bool RemoveFileIfPresent(const char* path, std::string& error);

// Test hook: when `bytes` is 0 or more, every later atomic write fails with
// "No space left on device" once that many bytes have been written; -1 (the
// default) turns the hook off.
void SetAtomicWriteFailAfter(long bytes);
