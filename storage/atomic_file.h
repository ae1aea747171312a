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

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The reason given for a file that does not exist.
constexpr const char* kFileNotFound = "file not found";

// A size limit that admits any file.
constexpr size_t kAnySize = SIZE_MAX;

// Which file a name stood for at one moment: enough to tell whether the
// file there later is still that one (its device, inode, size and
// modification time), or that there was none.
struct FileIdentity {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t modifiedNs = 0;
};

// The file `path` names now, following symbolic links; exists is false when
// there is none (also for a dangling link).
FileIdentity IdentifyFile(const char* path);

// True when the two stand for the same file unchanged, or both for none.
bool SameFile(const FileIdentity& a, const FileIdentity& b);

// Follows symbolic links from `path` to the name of the file they finally
// point to, which need not exist (a dangling link). A path that is not a
// link is its own target. False with a reason for a loop of links.
bool ResolveLinks(const std::string& path, std::string& target, std::string& error);

// A size as people say it: "28 bytes", "7 KB", "64 MB" (rounded up).
std::string SizeInWords(size_t bytes);

// Opens `path` for reading without blocking and returns its descriptor, or
// -1 with the reason in `error`: kFileNotFound, "not a regular file (a named
// pipe)" and the like, "the file is larger than 7 KB" (SizeInWords) when it
// holds more than `limit` bytes, or "cannot read: <system reason>". The
// caller closes the descriptor.
int OpenRegularFile(const char* path, size_t limit, std::string& error);

// Reads the whole of `path` into `data`; refused as OpenRegularFile refuses,
// and when it holds more than `limit` bytes.
// `identity`, when given, receives the file that was read.
bool ReadFileBytes(const char* path, size_t limit, std::vector<unsigned char>& data,
                   std::string& error, FileIdentity* identity = nullptr);

// Reads the first `limit` bytes of `path` into `data` (fewer when the file is
// shorter); a longer file is not refused, and `longer` tells whether it was.
bool ReadFileStart(const char* path, size_t limit, std::vector<unsigned char>& data,
                   bool& longer, std::string& error);

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

// Removes the temporary files that WriteFileAtomically(path) leaves behind
// when the process is killed during the write ("<path>.tmp" and six letters
// or digits, beside the file a link points to), unless a writer still holds
// them. Nothing else is touched. Returns the number removed.
int RemoveLeftoverTemporaries(const char* path);

// Deletes the regular file `path` names; a file that does not exist is no
// error, anything but a regular file is refused. Through a symbolic link
// the file it points to is deleted and the link stays, so a dangling link
// is never removed.
bool RemoveFileIfPresent(const char* path, std::string& error);

// Renames the file `path` names to "<name>.<label>-YYYYMMDD-HHMMSS" (local
// time; "-2", "-3", ... appended when that name is taken) in its own folder,
// never replacing another file. Through a symbolic link to a regular file
// that file is renamed and the link stays (a link to anything else is
// renamed itself). On success `keptAs` holds the new name.
bool MoveFileAside(const char* path, std::string& keptAs, std::string& error,
                   const char* label = "damaged");

// The absolute form of a path relative to the working directory, for
// messages that tell the user where a file is.
std::string AbsolutePath(const std::string& path);

// Test hook: when `bytes` is 0 or more, every later atomic write fails with
// "No space left on device" once that many bytes have been written; -1 (the
// default) turns the hook off.
void SetAtomicWriteFailAfter(long bytes);
