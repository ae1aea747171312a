// One window program per working folder. The program holds an exclusive
// lock on the folder itself for its whole run; the system drops it when the
// process ends however it ends, so a crash never leaves a stale lock. A
// second start in the same folder finds the lock taken and hands its request
// to the running program instead of touching any file (start_request.h).
// The command-line tools take no lock.
#pragma once

#include <string>

enum class FolderLockResult {
  Taken,        // this program holds the folder
  HeldElsewhere,  // another program holds it
  Unsupported,  // the folder cannot be locked (some network file systems)
};

// Locks the working folder for the rest of the run. With Unsupported,
// `error` says why; the program then runs without the lock.
FolderLockResult LockWorkingFolder(std::string& error);

// Drops the lock (the process's end does it too).
void UnlockWorkingFolder();
