#include "file_identity.h"
#include "texts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

namespace {

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.exists = true;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

}  // namespace

FileIdentity IdentifyOpenFile(int descriptor) {
  struct stat st;
  if (fstat(descriptor, &st) != 0) return FileIdentity{};
  return IdentityOf(st);
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

std::string FolderOf(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  return folder.empty() ? "." : folder.string();
}

void SyncFolderOf(const std::string& path) {
  const int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
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
      error = n < 0 ? Fill(Tr("cannot follow the link: %1"), {std::strerror(errno)})
                    : std::string(Tr("the link is too long"));
      return false;
    }
    const std::string link(buffer, static_cast<size_t>(n));
    const std::filesystem::path folder = std::filesystem::path(current).parent_path();
    current = link[0] == '/' || folder.empty() ? link : (folder / link).string();
  }
  error = Tr("too many symbolic links (a loop of links?)");
  return false;
}
