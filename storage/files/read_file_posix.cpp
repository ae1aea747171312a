#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files_posix.h"
#include "read_file.h"
#include "texts.h"

namespace {

FileError ReadFailure(int err) {
  return err == ENOENT ? Failure(FileErrorKind::NotFound, Tr("file not found"))
                       : ErrnoFailure(kCannotRead, err);
}

// The type is checked by name first, so that a device is never opened at
// all, and again on the open descriptor, in case the name changed between.
// -1 with the reason, or the descriptor, back in blocking mode.
int OpenRegular(const char* path, size_t limit, FileError& error) {
  if (path == nullptr || *path == '\0') {
    error = ReadFailure(ENOENT);
    return -1;
  }
  struct stat st;
  if (stat(path, &st) != 0) {
    error = ReadFailure(errno);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    error = NotRegular(KindOfMode(st.st_mode));
    return -1;
  }
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = ReadFailure(errno);
    return -1;
  }
  if (fstat(fd, &st) != 0)
    error = ReadFailure(errno);
  else if (!S_ISREG(st.st_mode))
    error = NotRegular(KindOfMode(st.st_mode));
  else if (static_cast<unsigned long long>(st.st_size) > limit)
    error = TooLarge(limit);
  else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
    error = ReadFailure(errno);
  else
    return fd;
  close(fd);
  return -1;
}

// Reads up to `limit` bytes, and one more to see whether there are more.
// 0 or the errno of the failing read.
int ReadUpTo(int fd, size_t limit, std::vector<unsigned char>& data, bool& longer) {
  const size_t want = limit == kAnySize ? limit : limit + 1;
  unsigned char chunk[16384];
  while (data.size() < want) {
    const size_t ask = want - data.size() < sizeof chunk ? want - data.size() : sizeof chunk;
    const ssize_t n = read(fd, chunk, ask);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    data.insert(data.end(), chunk, chunk + n);
  }
  longer = data.size() > limit;
  if (longer) data.resize(limit);
  return 0;
}

}  // namespace

bool ReadRegularFile(const char* path, size_t openLimit, size_t readLimit,
                     std::vector<unsigned char>& data, bool& longer, FileIdentity* identity,
                     FileError& error) {
  data.clear();
  longer = false;
  const int fd = OpenRegular(path, openLimit, error);
  if (fd < 0) return false;
  if (identity != nullptr) *identity = IdentifyDescriptor(fd);
  const int err = ReadUpTo(fd, readLimit, data, longer);
  close(fd);
  if (err != 0) {
    data.clear();
    longer = false;
    error = ReadFailure(err);
    return false;
  }
  return true;
}
