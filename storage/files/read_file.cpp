#include "read_file.h"
#include "texts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// `format` (looked up with Tr) with the system's reason for %1.
std::string Reason(const char* format, int err) { return Fill(Tr(format), {std::strerror(err)}); }

// Reads an opened file up to `limit` bytes and closes it; `longer` tells
// whether it held more (one byte more is read to see it). 0 or the errno of
// the failing read.
int ReadOpened(int fd, size_t limit, std::vector<unsigned char>& data, bool& longer) {
  const size_t want = limit == kAnySize ? limit : limit + 1;
  data.clear();
  unsigned char chunk[16384];
  int err = 0;
  while (data.size() < want) {
    const size_t ask = want - data.size() < sizeof chunk ? want - data.size() : sizeof chunk;
    const ssize_t n = read(fd, chunk, ask);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      err = errno;
      data.clear();
      break;
    }
    if (n == 0) break;
    data.insert(data.end(), chunk, chunk + n);
  }
  close(fd);
  longer = data.size() > limit;
  if (longer) data.resize(limit);
  return err;
}

// The one reader: the file opened as OpenRegularFile opens it (refused unread
// above `openLimit`), its first `readLimit` bytes read.
bool ReadRegularFile(const char* path, size_t openLimit, size_t readLimit,
                     std::vector<unsigned char>& data, bool& longer, std::string& error,
                     FileIdentity* identity) {
  data.clear();
  longer = false;
  const int fd = OpenRegularFile(path, openLimit, error);
  if (fd < 0) return false;
  if (identity != nullptr) *identity = IdentifyOpenFile(fd);
  const int err = ReadOpened(fd, readLimit, data, longer);
  if (err != 0) {
    error = Reason(TrLater("cannot read: %1"), err);
    return false;
  }
  return true;
}

}  // namespace

std::string SizeInWords(size_t bytes) {
  constexpr size_t kKilo = 1024, kMega = 1024 * 1024;
  if (bytes < kKilo) return Fill(TrN("%1 byte", "%1 bytes", bytes), {std::to_string(bytes)});
  if (bytes < kMega) return Fill(Tr("%1 KB"), {std::to_string((bytes + kKilo - 1) / kKilo)});
  return Fill(Tr("%1 MB"), {std::to_string((bytes + kMega - 1) / kMega)});
}

std::string NotRegularReason(unsigned mode) {
  return S_ISDIR(mode)                    ? Tr("not a regular file (a directory)")
         : S_ISFIFO(mode)                 ? Tr("not a regular file (a named pipe)")
         : S_ISSOCK(mode)                 ? Tr("not a regular file (a socket)")
         : S_ISCHR(mode) || S_ISBLK(mode) ? Tr("not a regular file (a device)")
                                          : Tr("not a regular file (not a file)");
}

// The type is checked by name first, so that a device is never opened at
// all, and again on the open descriptor, in case the name changed between.
int OpenRegularFile(const char* path, size_t limit, std::string& error) {
  if (path == nullptr || *path == '\0') {
    error = Tr(kFileNotFound);
    return -1;
  }
  struct stat st;
  if (stat(path, &st) != 0) {
    error = errno == ENOENT ? std::string(Tr(kFileNotFound)) : Reason(TrLater("cannot read: %1"), errno);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    error = NotRegularReason(st.st_mode);
    return -1;
  }
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ENOENT ? std::string(Tr(kFileNotFound)) : Reason(TrLater("cannot read: %1"), errno);
    return -1;
  }
  if (fstat(fd, &st) != 0) {
    error = Reason(TrLater("cannot read: %1"), errno);
    close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    error = NotRegularReason(st.st_mode);
    close(fd);
    return -1;
  }
  if (static_cast<unsigned long long>(st.st_size) > limit) {
    error = Fill(Tr("the file is larger than %1"), {SizeInWords(limit)});
    close(fd);
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool ReadFileBytes(const char* path, size_t limit, std::vector<unsigned char>& data,
                   std::string& error, FileIdentity* identity) {
  bool longer = false;
  if (!ReadRegularFile(path, limit, limit, data, longer, error, identity)) return false;
  if (longer) {  // the file grew after it was opened
    data.clear();
    error = Fill(Tr("the file is larger than %1"), {SizeInWords(limit)});
    return false;
  }
  return true;
}

bool ReadFileStart(const char* path, size_t limit, std::vector<unsigned char>& data,
                   bool& longer, std::string& error) {
  return ReadRegularFile(path, kAnySize, limit, data, longer, error, nullptr);
}
