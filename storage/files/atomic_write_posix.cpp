#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "atomic_write.h"
#include "files_posix.h"
#include "texts.h"

struct SystemFile {
  int fd;
};

namespace {

// The mode a new file gets: 0666 less the umask.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

int Descriptor(const TemporaryFile& temp) { return temp.file->fd; }

}  // namespace

// A file the owner could not read or write (mode 000, say) would never be
// read back: the new one is always the owner's to read and write.
bool CreateTemporary(const std::string& target, TemporaryFile& temp, FileError& error) {
  std::string name = TemporaryPrefix(target) + "XXXXXX";
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    struct stat folder;
    if (err == ENOENT && stat(FolderOf(target).c_str(), &folder) != 0)
      error = Failure(FileErrorKind::NoFolder,
                      Fill(Tr("cannot write: the folder \"%1\" does not exist"), {FolderOf(target)}));
    else
      error = ErrnoFailure(kCannotWrite, err);
    return false;
  }
  temp.name = name;
  temp.file = new SystemFile{fd};
  struct stat old;
  const bool replacing = stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  const mode_t mode = (replacing ? old.st_mode & 07777 : NewFileMode()) | S_IRUSR | S_IWUSR;
  if (fchmod(fd, mode) == 0) return true;
  error = ErrnoFailure(kCannotWrite, errno);
  DiscardTemporary(temp);
  return false;
}

// A file system without locks (ENOLCK, EOPNOTSUPP, EINVAL) cannot keep the
// temporary from a clearing of leftovers, and the write goes on, as the
// program itself runs without its folder lock there.
bool LockTemporary(TemporaryFile& temp, FileError& error) {
  int err = 0;
  while (flock(Descriptor(temp), LOCK_EX | LOCK_NB) != 0) {
    err = errno;
    if (err != EINTR) break;
    err = 0;
  }
  if (err == 0 || err == ENOLCK || err == EOPNOTSUPP || err == EINVAL) return true;
  error = err == EWOULDBLOCK
              ? Failure(FileErrorKind::Busy, Tr("cannot write: another process holds the temporary file"))
              : ErrnoFailure(kCannotWrite, err);
  return false;
}

bool WriteTemporary(TemporaryFile& temp, const unsigned char* data, size_t size, FileError& error) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = write(Descriptor(temp), data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = ErrnoFailure(kCannotWrite, errno);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool FlushTemporary(TemporaryFile& temp, FileIdentity& identity, FileError& error) {
  while (fsync(Descriptor(temp)) != 0) {
    if (errno == EINTR) continue;
    error = ErrnoFailure(kCannotWrite, errno);
    return false;
  }
  identity = IdentifyDescriptor(Descriptor(temp));
  return true;
}

bool CloseTemporary(TemporaryFile& temp, FileError& error) {
  if (temp.file == nullptr) return true;
  const int result = close(Descriptor(temp));
  const int err = errno;
  delete temp.file;
  temp.file = nullptr;
  if (result == 0) return true;
  error = ErrnoFailure(kCannotWrite, err);
  return false;
}

void DiscardTemporary(TemporaryFile& temp) {
  if (!temp.name.empty()) unlink(temp.name.c_str());
  FileError ignored;
  CloseTemporary(temp, ignored);
}
