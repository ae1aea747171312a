#include "file_identity.h"

#include <filesystem>

#include "texts.h"
#include "utf8_path.h"

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
  if (!a.exists || !b.exists) return a.exists == b.exists;
  return a.volume == b.volume && a.fileId == b.fileId && a.size == b.size &&
         a.modifiedNs == b.modifiedNs;
}

std::string FolderOf(const std::string& path) {
  const std::filesystem::path folder = PathFromUtf8(path).parent_path();
  return folder.empty() ? "." : Utf8FromPath(folder);
}

// Only the last part of the name can be a link the system does not follow
// for us when it creates, renames or deletes; folders on the way are
// followed by every call anyway.
bool ResolveLinks(const std::string& path, std::string& target, FileError& error) {
  std::string current = path;
  for (int hops = 0; hops <= 40; hops++) {
    std::string link;
    switch (ReadLink(current, link, error)) {
      case LinkRead::NotALink:
        target = current;
        return true;
      case LinkRead::Failed:
        return false;
      case LinkRead::Link:
        break;
    }
    const std::filesystem::path folder = PathFromUtf8(current).parent_path();
    current = PathFromUtf8(link).is_absolute() || folder.empty() ? link : Utf8FromPath(folder / PathFromUtf8(link));
  }
  error = Failure(FileErrorKind::LinkLoop, Tr("too many symbolic links (a loop of links?)"));
  return false;
}
