// Which file a name stands for: symbolic links followed to the file they
// finally name, and enough about that file (device, inode, size and
// modification time) to tell later whether it is still the same one.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

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

// The file an open descriptor reads or writes.
FileIdentity IdentifyOpenFile(int descriptor);

// True when the two stand for the same file unchanged, or both for none.
bool SameFile(const FileIdentity& a, const FileIdentity& b);

// Follows symbolic links from `path` to the name of the file they finally
// point to, which need not exist (a dangling link). A path that is not a
// link is its own target. False with a reason for a loop of links.
bool ResolveLinks(const std::string& path, std::string& target, std::string& error);

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path);

// Flushes a folder's entries (a rename, a new or removed name) to the disk;
// a failure here loses nothing.
void SyncFolderOf(const std::string& path);
