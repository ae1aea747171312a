#include "leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "atomic_write.h"
#include "file_identity.h"

namespace {

// Six letters or digits follow the prefix in the names mkstemp makes.
constexpr int kTemporaryLetters = 6;

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

}  // namespace

int RemoveLeftoverTemporaries(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  std::string target, ignored;
  if (!ResolveLinks(path, target, ignored)) return 0;
  const std::string prefix = TemporaryPrefix(std::filesystem::path(target).filename().string());
  DIR* dir = opendir(FolderOf(target).c_str());
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
