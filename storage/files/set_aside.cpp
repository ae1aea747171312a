#include "set_aside.h"

#include <ctime>

#include "file_identity.h"
#include "folder_sync.h"
#include "local_time.h"
#include "rename_file.h"
#include "texts.h"

// Only a regular file is deleted: never a device or a pipe a link leads to.
bool RemoveFileIfPresent(const char* path, FileError& error) {
  if (path == nullptr || *path == '\0') return true;
  std::string target;
  if (!ResolveLinks(path, target, error)) {
    error = Prefixed(kCannotDelete, error);
    return false;
  }
  const FileIdentity there = IdentifyName(target.c_str());
  if (there.exists && there.kind != FileKind::Regular) {
    error = Prefixed(kCannotDelete, NotRegular(there.kind));
    return false;
  }
  if (!RemoveName(target, error)) return error.kind == FileErrorKind::NotFound;
  return FlushFolderOf(target, kCannotDelete, error);
}

std::string NameToSetAside(const char* path) {
  if (path == nullptr) return "";
  std::string target;
  FileError ignored;
  if (!ResolveLinks(path, target, ignored)) return path;
  const FileIdentity there = IdentifyName(target.c_str());
  return !there.exists || there.kind == FileKind::Regular ? target : path;
}

bool RenameAside(const std::string& from, const std::string& beside, const char* label,
                 const char* format, std::string& keptAs, FileError& error) {
  std::tm local{};
  LocalTime(std::time(nullptr), local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = beside + "." + label + "-" + stamp;
  for (int n = 1; n <= 1000; n++) {
    const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
    if (RenameWithoutReplacing(from, name, format, error)) {
      keptAs = name;
      return true;
    }
    if (error.kind != FileErrorKind::Exists) return false;
  }
  error = Failure(FileErrorKind::Exists, Fill(Tr(format), {Tr("every name for it is taken")}));
  return false;
}

// A rename the folder's flush could not make sure of loses nothing: after a
// power cut the file is back under its old name, and is moved aside again.
bool MoveFileAside(const char* path, std::string& keptAs, FileError& error, const char* label) {
  const std::string target = NameToSetAside(path);
  if (!RenameAside(target, target, label, kCannotRename, keptAs, error)) return false;
  FileError unsure;
  FlushFolderOf(keptAs, kCannotRename, unsure);
  return true;
}
