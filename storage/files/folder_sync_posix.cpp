#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "files_posix.h"
#include "folder_sync.h"

// Two cases are no failure: a file system that cannot flush a folder at all
// (EINVAL) keeps its entries safe by itself, and a folder the program may
// write in but not read (EACCES) cannot be opened to flush it, and is
// flushed by the system as it always is.
bool SyncFolder(const std::string& folder, const char* format, FileError& error) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == EACCES) return true;
    error = ErrnoFailure(format, errno);
    return false;
  }
  int err = 0;
  while (fsync(fd) != 0 && (err = errno) == EINTR) err = 0;
  close(fd);
  if (err != 0 && err != EINVAL) {
    error = ErrnoFailure(format, err);
    return false;
  }
  return true;
}
