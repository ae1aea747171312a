#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files_posix.h"
#include "read_file.h"
#include "texts.h"

struct OpenedFile {
  int fd;
};

namespace {

FileError ReadFailure(int err) {
  return err == ENOENT ? Failure(FileErrorKind::NotFound, Tr("file not found"))
                       : ErrnoFailure(kCannotRead, err);
}

}  // namespace

// The type is checked by name first, so that a device is never opened at
// all, and again on the open descriptor, in case the name changed between.
// It is opened without waiting (a FIFO would wait for a writer) and then
// put back in blocking mode.
OpenedFile* OpenRegularFile(const char* path, size_t openLimit, FileIdentity& identity,
                            FileError& error) {
  if (path == nullptr || *path == '\0') {
    error = ReadFailure(ENOENT);
    return nullptr;
  }
  struct stat st;
  if (stat(path, &st) != 0) {
    error = ReadFailure(errno);
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    error = NotRegular(KindOfMode(st.st_mode));
    return nullptr;
  }
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = ReadFailure(errno);
    return nullptr;
  }
  if (fstat(fd, &st) != 0)
    error = ReadFailure(errno);
  else if (!S_ISREG(st.st_mode))
    error = NotRegular(KindOfMode(st.st_mode));
  else if (static_cast<unsigned long long>(st.st_size) > openLimit)
    error = TooLarge(openLimit);
  else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
    error = ReadFailure(errno);
  else {
    identity = IdentifyDescriptor(fd);
    return new OpenedFile{fd};
  }
  close(fd);
  return nullptr;
}

std::ptrdiff_t ReadOpenedFile(OpenedFile* file, unsigned char* buffer, size_t size, FileError& error) {
  for (;;) {
    const ssize_t n = read(file->fd, buffer, size);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    error = ReadFailure(errno);
    return -1;
  }
}

void CloseOpenedFile(OpenedFile* file) {
  close(file->fd);
  delete file;
}
