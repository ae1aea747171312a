// What went wrong with a file: a kind for the code that decides what to do
// next, and a message in plain words for the people who read it. Every file
// service reports its failures this way, on every operating system.
#pragma once

#include <cstddef>
#include <string>

#include "texts.h"

enum class FileErrorKind {
  None,
  NotFound,     // no file of that name
  NoName,       // the name is empty
  NotRegular,   // a folder, a named pipe, a device or a socket
  TooLarge,     // more bytes than the caller accepts
  NoFolder,     // the folder a new file would go in does not exist
  LinkLoop,     // symbolic links that lead round in a circle, or cannot be followed
  Exists,       // the new name is taken
  Unsupported,  // the file system cannot do what was asked
  Busy,         // another process holds the file
  System,       // anything else the system refused or failed: permissions, a full disk, I/O
};

struct FileError {
  FileErrorKind kind = FileErrorKind::None;
  std::string message;  // "cannot write: No space left on device"
};

// What a name stands for, as far as the program cares.
enum class FileKind { None, Regular, Directory, Pipe, Socket, Device, Link, Other };

// The texts of the failures of reading, writing, deleting and renaming, %1
// for the reason.
constexpr const char* kCannotRead = TrLater("cannot read: %1");
constexpr const char* kCannotWrite = TrLater("cannot write: %1");
constexpr const char* kCannotDelete = TrLater("cannot delete: %1");
constexpr const char* kCannotRename = TrLater("cannot rename: %1");

// A failure of `kind` told by `message`.
FileError Failure(FileErrorKind kind, std::string message);

// A failure the system reported: `format`, a text with %1 for the system's
// reason ("cannot read: %1", marked with TrLater where it is written), in
// the user's language, with the reason the implementation that met the
// failure gives ("cannot read: Permission denied").
FileError SystemFailure(const char* format, const std::string& reason);

// "not a regular file (a named pipe)" and the like.
FileError NotRegular(FileKind kind);

// "the file is larger than 7 KB": more than `limit` bytes.
FileError TooLarge(size_t limit);

// The same failure told through `format`, a text with %1 for its message
// ("cannot write: %1" gives "cannot write: not a regular file (a
// directory)").
FileError Prefixed(const char* format, FileError error);

// A size as people say it: "28 bytes", "7 KB", "64 MB" (rounded up).
std::string SizeInWords(size_t bytes);
