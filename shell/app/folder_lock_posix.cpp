#include "folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

int lockDescriptor = -1;

}  // namespace

// The folder is locked, not a file in it: nothing is created, and a
// read-only folder can be locked too. The launcher locks the same way
// (flock on the folder) while it copies the shipped files.
FolderLockResult LockWorkingFolder(std::string& error) {
  UnlockWorkingFolder();
  const int fd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    error = std::string("cannot open the working folder: ") + std::strerror(errno);
    return FolderLockResult::Unsupported;
  }
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      lockDescriptor = fd;
      return FolderLockResult::Taken;
    }
    if (errno != EINTR) break;
  }
  const int err = errno;
  close(fd);
  if (err == EWOULDBLOCK) return FolderLockResult::HeldElsewhere;
  error = std::string("cannot lock the working folder: ") + std::strerror(err);
  return FolderLockResult::Unsupported;
}

void UnlockWorkingFolder() {
  if (lockDescriptor < 0) return;
  close(lockDescriptor);
  lockDescriptor = -1;
}
