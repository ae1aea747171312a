#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "files_posix.h"
#include "rename_file.h"

namespace {

bool Done(int result, const char* format, FileError& error) {
  if (result == 0) return true;
  error = ErrnoFailure(format, errno);
  return false;
}

// The errors of renameat2 that mean the kernel or the file system does not
// know the flag asked for.
bool FlagUnknown(int err) { return err == EINVAL || err == ENOSYS || err == ENOTSUP; }

}  // namespace

bool RenameReplacing(const std::string& from, const std::string& to, const char* format,
                     FileError& error) {
  return Done(rename(from.c_str(), to.c_str()), format, error);
}

// Where the file system cannot refuse a replacement itself, a hard link
// does it; for a directory, which cannot be linked, the name is checked
// first.
bool RenameWithoutReplacing(const std::string& from, const std::string& to, const char* format,
                            FileError& error) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (!FlagUnknown(errno)) return Done(-1, format, error);
  if (link(from.c_str(), to.c_str()) == 0) return Done(unlink(from.c_str()), format, error);
  if (errno == EEXIST) return Done(-1, format, error);
  struct stat st;
  if (lstat(to.c_str(), &st) == 0) {
    error = ErrnoFailure(format, EEXIST);
    return false;
  }
  return Done(rename(from.c_str(), to.c_str()), format, error);
}

bool ExchangeFiles(const std::string& a, const std::string& b, const char* format, FileError& error) {
  if (renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0) return true;
  const int err = errno;
  error = ErrnoFailure(format, err);
  if (FlagUnknown(err)) error.kind = FileErrorKind::Unsupported;
  return false;
}
