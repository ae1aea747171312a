#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

long failAfterBytes = -1;

std::string Reason(const char* what, int err) { return std::string(what) + ": " + std::strerror(err); }

// Writes everything or reports the errno of the failing write. The test hook
// cuts the write short as a full disk would.
int WriteAll(int fd, const unsigned char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    size_t chunk = size - done;
    if (failAfterBytes >= 0) {
      const size_t room = static_cast<size_t>(failAfterBytes) > done
                              ? static_cast<size_t>(failAfterBytes) - done
                              : 0;
      if (room == 0) return ENOSPC;
      if (chunk > room) chunk = room;
    }
    const ssize_t n = write(fd, data + done, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(n);
  }
  return 0;
}

// The mode a newly created file would get: the old file's mode when the
// target exists, else 0666 less the umask.
mode_t TargetMode(const char* path) {
  struct stat st;
  if (stat(path, &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

// Flushes the directory entry of the rename; a failure here loses nothing.
void SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

void SetAtomicWriteFailAfter(long bytes) { failAfterBytes = bytes; }

bool WriteFileAtomically(const char* path, const unsigned char* data, size_t size,
                         std::string& error) {
  if (path == nullptr || *path == '\0') {
    error = "cannot write: no file name";
    return false;
  }
  std::string temp = std::string(path) + ".tmpXXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = Reason("cannot write", errno);
    return false;
  }
  int err = fchmod(fd, TargetMode(path)) == 0 ? 0 : errno;
  if (err == 0) err = WriteAll(fd, data, size);
  if (err == 0 && fsync(fd) != 0) err = errno;
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && rename(temp.c_str(), path) != 0) err = errno;
  if (err != 0) {
    unlink(temp.c_str());
    error = Reason("cannot write", err);
    return false;
  }
  SyncDirectoryOf(path);
  return true;
}

bool ReadFileBytes(const char* path, size_t limit, std::vector<unsigned char>& data,
                   std::string& error) {
  data.clear();
  if (path == nullptr || *path == '\0') {
    error = "file not found";
    return false;
  }
  const int fd = open(path, O_RDONLY);
  if (fd < 0) {
    error = errno == ENOENT ? std::string("file not found") : Reason("cannot read", errno);
    return false;
  }
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    error = Reason("cannot read", EISDIR);
    return false;
  }
  data.resize(limit);
  size_t done = 0;
  while (done < limit) {
    const ssize_t n = read(fd, data.data() + done, limit - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      close(fd);
      data.clear();
      error = Reason("cannot read", err);
      return false;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  close(fd);
  data.resize(done);
  return true;
}

bool RemoveFileIfPresent(const char* path, std::string& error) {
  if (path == nullptr || *path == '\0') return true;
  if (unlink(path) == 0 || errno == ENOENT) return true;
  error = Reason("cannot delete", errno);
  return false;
}
