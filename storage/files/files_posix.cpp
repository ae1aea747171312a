#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "files_posix.h"

FileError ErrnoFailure(const char* format, int err) {
  FileError error = SystemFailure(format, std::strerror(err));
  switch (err) {
    case ENOENT: error.kind = FileErrorKind::NotFound; break;
    case EEXIST: error.kind = FileErrorKind::Exists; break;
    case ELOOP: error.kind = FileErrorKind::LinkLoop; break;
    default: break;
  }
  return error;
}

FileKind KindOfMode(unsigned mode) {
  if (S_ISREG(mode)) return FileKind::Regular;
  if (S_ISDIR(mode)) return FileKind::Directory;
  if (S_ISFIFO(mode)) return FileKind::Pipe;
  if (S_ISSOCK(mode)) return FileKind::Socket;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::Device;
  if (S_ISLNK(mode)) return FileKind::Link;
  return FileKind::Other;
}
