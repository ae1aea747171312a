#include "atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

long failAfterBytes = -1;

// Six letters or digits follow this in the names mkstemp makes.
constexpr const char* kTemporaryInfix = ".tmp";
constexpr int kTemporaryLetters = 6;

std::string Reason(const char* what, int err) { return std::string(what) + ": " + std::strerror(err); }

// "not a regular file (a named pipe)" for anything but a regular file.
std::string NotRegularReason(mode_t mode) {
  const char* kind = S_ISDIR(mode)    ? "a directory"
                     : S_ISFIFO(mode) ? "a named pipe"
                     : S_ISSOCK(mode) ? "a socket"
                     : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                                      : "not a file";
  return std::string("not a regular file (") + kind + ")";
}

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

// Reads at most `limit` bytes; returns 0 or the errno of the failing read.
int ReadUpTo(int fd, size_t limit, std::vector<unsigned char>& data) {
  data.clear();
  unsigned char chunk[16384];
  while (data.size() < limit) {
    const size_t want = limit - data.size() < sizeof chunk ? limit - data.size() : sizeof chunk;
    const ssize_t n = read(fd, chunk, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      data.clear();
      return err;
    }
    if (n == 0) break;
    data.insert(data.end(), chunk, chunk + n);
  }
  return 0;
}

// The mode a newly created file would get: the old file's mode when the
// target exists, else 0666 less the umask.
mode_t TargetMode(const struct stat* old) {
  if (old != nullptr) return old->st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

// The directory part of a path ("." for a bare name).
std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Flushes the directory entry of the rename; a failure here loses nothing.
void SyncDirectoryOf(const std::string& path) {
  const int fd = open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool IsTemporaryName(const char* name, const std::string& prefix) {
  if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) return false;
  const char* rest = name + prefix.size();
  for (int i = 0; i < kTemporaryLetters; i++) {
    const char c = rest[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!letter) return false;
  }
  return rest[kTemporaryLetters] == '\0';
}

// Renames without replacing: 0, or the errno (EEXIST when `to` is taken).
// Where the file system cannot refuse a replacement itself, a hard link does
// it; for a directory, which cannot be linked, the name is checked first.
int RenameNoReplace(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  if (link(from, to) == 0) return unlink(from) == 0 ? 0 : errno;
  if (errno == EEXIST) return EEXIST;
  struct stat st;
  if (lstat(to, &st) == 0) return EEXIST;
  return rename(from, to) == 0 ? 0 : errno;
}

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.exists = true;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

// The link's target and the reason when it cannot be followed; `target` is
// `path` itself for anything but a link.
bool TargetOf(const char* path, std::string& target, std::string& error, const char* doing) {
  if (ResolveLinks(path, target, error)) return true;
  error = std::string(doing) + ": " + error;
  return false;
}

}  // namespace

void SetAtomicWriteFailAfter(long bytes) { failAfterBytes = bytes; }

std::string SizeInWords(size_t bytes) {
  constexpr size_t kKilo = 1024, kMega = 1024 * 1024;
  if (bytes < kKilo) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  if (bytes < kMega) return std::to_string((bytes + kKilo - 1) / kKilo) + " KB";
  return std::to_string((bytes + kMega - 1) / kMega) + " MB";
}

FileIdentity IdentifyFile(const char* path) {
  struct stat st;
  if (path == nullptr || *path == '\0' || stat(path, &st) != 0) return FileIdentity{};
  return IdentityOf(st);
}

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
  if (!a.exists || !b.exists) return a.exists == b.exists;
  return a.device == b.device && a.inode == b.inode && a.size == b.size &&
         a.modifiedNs == b.modifiedNs;
}

// Only the last part of the name can be a link the kernel does not follow
// for us when it creates, renames or deletes; folders on the way are
// followed by every call anyway.
bool ResolveLinks(const std::string& path, std::string& target, std::string& error) {
  std::string current = path;
  for (int hops = 0; hops <= 40; hops++) {
    struct stat st;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      target = current;
      return true;
    }
    char buffer[PATH_MAX];
    const ssize_t n = readlink(current.c_str(), buffer, sizeof buffer);
    if (n < 0 || static_cast<size_t>(n) >= sizeof buffer) {
      error = n < 0 ? Reason("cannot follow the link", errno) : "the link is too long";
      return false;
    }
    const std::string link(buffer, static_cast<size_t>(n));
    const std::string folder = DirectoryOf(current);
    current = link[0] == '/' || folder == "." ? link : folder + (folder == "/" ? "" : "/") + link;
  }
  error = "too many symbolic links (a loop of links?)";
  return false;
}

// The type is checked by name first, so that a device is never opened at
// all, and again on the open descriptor, in case the name changed between.
int OpenRegularFile(const char* path, size_t limit, std::string& error) {
  if (path == nullptr || *path == '\0') {
    error = kFileNotFound;
    return -1;
  }
  struct stat st;
  if (stat(path, &st) != 0) {
    error = errno == ENOENT ? std::string(kFileNotFound) : Reason("cannot read", errno);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    error = NotRegularReason(st.st_mode);
    return -1;
  }
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ENOENT ? std::string(kFileNotFound) : Reason("cannot read", errno);
    return -1;
  }
  if (fstat(fd, &st) != 0) {
    error = Reason("cannot read", errno);
    close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    error = NotRegularReason(st.st_mode);
    close(fd);
    return -1;
  }
  if (static_cast<unsigned long long>(st.st_size) > limit) {
    error = "the file is larger than " + SizeInWords(limit);
    close(fd);
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

namespace {

// Reads an opened file up to `limit` bytes and closes it; `longer` tells
// whether it held more (one byte more is read to see it).
bool ReadOpenedFile(int fd, size_t limit, std::vector<unsigned char>& data, bool& longer,
                    std::string& error) {
  const int err = ReadUpTo(fd, limit == kAnySize ? limit : limit + 1, data);
  close(fd);
  if (err != 0) {
    error = Reason("cannot read", err);
    return false;
  }
  longer = data.size() > limit;
  if (longer) data.resize(limit);
  return true;
}

}  // namespace

bool ReadFileBytes(const char* path, size_t limit, std::vector<unsigned char>& data,
                   std::string& error, FileIdentity* identity) {
  data.clear();
  const int fd = OpenRegularFile(path, limit, error);
  if (fd < 0) return false;
  if (identity != nullptr) {
    struct stat st;
    *identity = fstat(fd, &st) == 0 ? IdentityOf(st) : FileIdentity{};
  }
  bool longer = false;
  if (!ReadOpenedFile(fd, limit, data, longer, error)) return false;
  if (longer) {  // the file grew after it was opened
    data.clear();
    error = "the file is larger than " + SizeInWords(limit);
    return false;
  }
  return true;
}

bool ReadFileStart(const char* path, size_t limit, std::vector<unsigned char>& data,
                   bool& longer, std::string& error) {
  longer = false;
  data.clear();
  const int fd = OpenRegularFile(path, kAnySize, error);
  if (fd < 0) return false;
  return ReadOpenedFile(fd, limit, data, longer, error);
}

// The temporary is locked while it exists, so that another run of the
// program clearing leftovers at its start never takes it for one. It is
// made beside the file a link points to, so that the rename replaces that
// file and not the link.
bool WriteFileAtomically(const char* path, const unsigned char* data, size_t size,
                         std::string& error) {
  if (path == nullptr || *path == '\0') {
    error = "cannot write: no file name";
    return false;
  }
  std::string target;
  if (!TargetOf(path, target, error, "cannot write")) return false;
  struct stat old;
  const bool exists = stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) {
    error = "cannot write: " + NotRegularReason(old.st_mode);
    return false;
  }
  std::string temp = target + kTemporaryInfix + "XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    struct stat folder;
    if (err == ENOENT && stat(DirectoryOf(target).c_str(), &folder) != 0)
      error = "cannot write: the folder \"" + DirectoryOf(target) + "\" does not exist";
    else
      error = Reason("cannot write", err);
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
    error = Reason("cannot write", err);
    return false;
  }
  SyncDirectoryOf(target);
  return true;
}

int RemoveLeftoverTemporaries(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  std::string whole, ignored;
  if (!ResolveLinks(path, whole, ignored)) return 0;
  const std::string directory = DirectoryOf(whole);
  const size_t slash = whole.rfind('/');
  const std::string prefix =
      (slash == std::string::npos ? whole : whole.substr(slash + 1)) + kTemporaryInfix;
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) return 0;
  const int dirFd = dirfd(dir);
  int removed = 0;
  while (const dirent* entry = readdir(dir)) {
    if (!IsTemporaryName(entry->d_name, prefix)) continue;
    struct stat st;
    if (fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
      continue;
    const int fd = openat(dirFd, entry->d_name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    // A writer that is still at work holds the lock.
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        unlinkat(dirFd, entry->d_name, 0) == 0)
      removed++;
    close(fd);
  }
  closedir(dir);
  return removed;
}

// Only a regular file is deleted: never a device or a pipe a link leads to.
bool RemoveFileIfPresent(const char* path, std::string& error) {
  if (path == nullptr || *path == '\0') return true;
  std::string target;
  if (!TargetOf(path, target, error, "cannot delete")) return false;
  struct stat st;
  if (lstat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    error = "cannot delete: " + NotRegularReason(st.st_mode);
    return false;
  }
  if (unlink(target.c_str()) == 0) {
    SyncDirectoryOf(target);
    return true;
  }
  if (errno == ENOENT) return true;
  error = Reason("cannot delete", errno);
  return false;
}

// A link is followed only to a regular file: a link to a device, a pipe or
// a folder is itself what is moved aside.
bool MoveFileAside(const char* path, std::string& keptAs, std::string& error, const char* label) {
  std::string target;
  struct stat st;
  if (!ResolveLinks(path, target, error) || lstat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    target = path;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = target + "." + label + "-" + stamp;
  for (int n = 1; n <= 1000; n++) {
    const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
    const int err = RenameNoReplace(target.c_str(), name.c_str());
    if (err == 0) {
      keptAs = name;
      SyncDirectoryOf(name);
      return true;
    }
    if (err != EEXIST) {
      error = Reason("cannot rename", err);
      return false;
    }
  }
  error = "cannot rename: every name for it is taken";
  return false;
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return path;
  const std::string dir(buffer);
  return (dir == "/" ? dir : dir + "/") + (path.rfind("./", 0) == 0 ? path.substr(2) : path);
}
