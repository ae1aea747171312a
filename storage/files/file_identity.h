// Which file a name stands for: symbolic links followed to the file they
// finally name, and enough about that file (the volume it is on, its number
// there, its size and modification time) to tell later whether it is still
// the same one.
#pragma once

#include <cstdint>
#include <string>

#include "file_error.h"

struct FileIdentity {
  bool exists = false;
  FileKind kind = FileKind::None;
  uint64_t volume = 0;     // the device or volume the file is on
  uint64_t fileId = 0;     // the file's number on that volume
  uint64_t size = 0;       // in bytes
  int64_t modifiedNs = 0;  // the last change of its contents, in nanoseconds
};

// True when the two stand for the same file unchanged, or both for none.
bool SameFile(const FileIdentity& a, const FileIdentity& b);

// Follows symbolic links from `path` to the name of the file they finally
// point to, which need not exist (a dangling link). A path that is not a
// link is its own target. False with a reason for a loop of links.
bool ResolveLinks(const std::string& path, std::string& target, FileError& error);

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path);

// The operating system's part (file_identity_posix.cpp, file_identity_win32.cpp).

// The file `path` names now, following symbolic links; exists is false when
// there is none (also for a dangling link).
FileIdentity IdentifyFile(const char* path);

// The name itself: a symbolic link is not followed (its kind is Link).
FileIdentity IdentifyName(const char* path);

// What a name is, for following links: not a link (also when nothing has
// that name), a link whose text goes to `text`, or a link that cannot be
// read (the reason in `error`).
enum class LinkRead { NotALink, Link, Failed };
LinkRead ReadLink(const std::string& path, std::string& text, FileError& error);
