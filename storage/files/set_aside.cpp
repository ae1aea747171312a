#include "set_aside.h"
#include "texts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "file_identity.h"
#include "read_file.h"

namespace {

// `format` (looked up with Tr) with the system's reason for %1.
std::string Reason(const char* format, int err) { return Fill(Tr(format), {std::strerror(err)}); }

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

}  // namespace

// Only a regular file is deleted: never a device or a pipe a link leads to.
bool RemoveFileIfPresent(const char* path, std::string& error) {
  if (path == nullptr || *path == '\0') return true;
  std::string target;
  if (!ResolveLinks(path, target, error)) {
    error = Fill(Tr("cannot delete: %1"), {error});
    return false;
  }
  struct stat st;
  if (lstat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    error = Fill(Tr("cannot delete: %1"), {NotRegularReason(st.st_mode)});
    return false;
  }
  if (unlink(target.c_str()) == 0) {
    SyncFolderOf(target);
    return true;
  }
  if (errno == ENOENT) return true;
  error = Reason(TrLater("cannot delete: %1"), errno);
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
      SyncFolderOf(name);
      return true;
    }
    if (err != EEXIST) {
      error = Reason(TrLater("cannot rename: %1"), err);
      return false;
    }
  }
  error = Tr("cannot rename: every name for it is taken");
  return false;
}
