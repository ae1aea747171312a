#include "leftovers.h"

#include <filesystem>

#include "utf8_path.h"

#include "atomic_write.h"
#include "file_identity.h"

namespace {

// Six letters or digits follow the prefix in the names a temporary gets.
constexpr size_t kTemporaryLetters = 6;

bool IsTemporaryName(const std::string& name, const std::string& prefix) {
  if (name.size() != prefix.size() + kTemporaryLetters || name.compare(0, prefix.size(), prefix) != 0)
    return false;
  for (size_t i = prefix.size(); i < name.size(); i++) {
    const char c = name[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!letter) return false;
  }
  return true;
}

}  // namespace

int RemoveLeftoverTemporaries(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  std::string target;
  FileError ignored;
  if (!ResolveLinks(path, target, ignored)) return 0;
  const std::string prefix = TemporaryPrefix(Utf8FromPath(PathFromUtf8(target).filename()));
  const std::string folder = FolderOf(target);
  int removed = 0;
  for (const std::string& name : NamesInFolder(folder))
    if (IsTemporaryName(name, prefix) && RemoveUnheldFile(folder, name)) removed++;
  return removed;
}
