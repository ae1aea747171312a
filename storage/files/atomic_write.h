// Replacing a file so that it always holds either its old or its complete
// new contents: the bytes go to a temporary file beside it, are flushed to
// the disk, and the temporary is then renamed over the file. A crash, a
// kill or a full disk never leaves a half-written or empty file behind.
#pragma once

#include <cstddef>
#include <string>

// Writes `size` bytes to `path` atomically. On failure returns false with a
// reason ("cannot write: No space left on device") in `error`; the old file,
// if any, is left as it was and the temporary file is removed. A target that
// exists but is not a regular file (a directory, a named pipe) is refused.
// A symbolic link is written through: the file it points to is replaced
// (the temporary goes beside it) and the link stays; a dangling link creates
// its target when the target's folder exists. The file keeps the old one's
// permissions, always with read and write for its owner.
bool WriteFileAtomically(const char* path, const unsigned char* data, size_t size,
                         std::string& error);

// The name the temporary of a write of `path` begins with ("<path>.tmp",
// then six letters or digits).
std::string TemporaryPrefix(const std::string& path);

// Test hook: when `bytes` is 0 or more, every later atomic write fails with
// "No space left on device" once that many bytes have been written; -1 (the
// default) turns the hook off.
void SetAtomicWriteFailAfter(long bytes);
