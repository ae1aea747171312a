#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "file_identity.h"
#include "files_posix.h"
#include "texts.h"

namespace {

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.exists = true;
  id.kind = KindOfMode(st.st_mode);
  id.volume = static_cast<uint64_t>(st.st_dev);
  id.fileId = static_cast<uint64_t>(st.st_ino);
  id.size = static_cast<uint64_t>(st.st_size);
  id.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

}  // namespace

FileIdentity IdentifyDescriptor(int descriptor) {
  struct stat st;
  if (fstat(descriptor, &st) != 0) return FileIdentity{};
  return IdentityOf(st);
}

FileIdentity IdentifyFile(const char* path) {
  struct stat st;
  if (path == nullptr || *path == '\0' || stat(path, &st) != 0) return FileIdentity{};
  return IdentityOf(st);
}

FileIdentity IdentifyName(const char* path) {
  struct stat st;
  if (path == nullptr || *path == '\0' || lstat(path, &st) != 0) return FileIdentity{};
  return IdentityOf(st);
}

LinkRead ReadLink(const std::string& path, std::string& text, FileError& error) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return LinkRead::NotALink;
  char buffer[PATH_MAX];
  const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
  if (n < 0) {
    error = ErrnoFailure(TrLater("cannot follow the link: %1"), errno);
    return LinkRead::Failed;
  }
  if (static_cast<size_t>(n) >= sizeof buffer) {
    error = Failure(FileErrorKind::LinkLoop, Tr("the link is too long"));
    return LinkRead::Failed;
  }
  text.assign(buffer, static_cast<size_t>(n));
  return LinkRead::Link;
}
