#include "atomic_write.h"
#include "texts.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "file_identity.h"
#include "read_file.h"

namespace {

long failAfterBytes = -1;

// `format` (looked up with Tr) with the system's reason for %1.
std::string Reason(const char* format, int err) { return Fill(Tr(format), {std::strerror(err)}); }

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

// The mode of the new file: the old file's mode when the target exists,
// else 0666 less the umask.
mode_t TargetMode(const struct stat* old) {
  if (old != nullptr) return old->st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

void SetAtomicWriteFailAfter(long bytes) { failAfterBytes = bytes; }

std::string TemporaryPrefix(const std::string& path) { return path + ".tmp"; }

// The temporary is locked while it exists, so that another run of the
// program clearing leftovers at its start never takes it for one. It is
// made beside the file a link points to, so that the rename replaces that
// file and not the link.
bool WriteFileAtomically(const char* path, const unsigned char* data, size_t size,
                         std::string& error) {
  if (path == nullptr || *path == '\0') {
    error = Tr("cannot write: no file name");
    return false;
  }
  std::string target;
  if (!ResolveLinks(path, target, error)) {
    error = Fill(Tr("cannot write: %1"), {error});
    return false;
  }
  struct stat old;
  const bool exists = stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) {
    error = Fill(Tr("cannot write: %1"), {NotRegularReason(old.st_mode)});
    return false;
  }
  std::string temp = TemporaryPrefix(target) + "XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    struct stat folder;
    if (err == ENOENT && stat(FolderOf(target).c_str(), &folder) != 0)
      error = Fill(Tr("cannot write: the folder \"%1\" does not exist"), {FolderOf(target)});
    else
      error = Reason(TrLater("cannot write: %1"), err);
    return false;
  }
  flock(fd, LOCK_EX | LOCK_NB);
  // A file the owner could not read or write (mode 000, say) would never
  // be read back: the new one is always the owner's to read and write.
  const mode_t mode = TargetMode(exists ? &old : nullptr) | S_IRUSR | S_IWUSR;
  int err = fchmod(fd, mode) == 0 ? 0 : errno;
  if (err == 0) err = WriteAll(fd, data, size);
  if (err == 0 && fsync(fd) != 0) err = errno;
  if (err == 0 && rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) unlink(temp.c_str());
  if (close(fd) != 0 && err == 0) err = errno;
  if (err != 0) {
    error = Reason(TrLater("cannot write: %1"), err);
    return false;
  }
  SyncFolderOf(target);
  return true;
}
