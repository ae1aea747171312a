#include "file_identity.h"
#include "files_win32.h"
#include "texts.h"

namespace {

FileIdentity IdentityOfName(const char* path, bool ownName) {
  if (path == nullptr || *path == '\0') return FileIdentity{};
  const HANDLE handle = OpenForIdentity(path, ownName);
  if (handle == INVALID_HANDLE_VALUE) return FileIdentity{};
  FileIdentity id = IdentifyHandle(handle);
  CloseHandle(handle);
  return id;
}

// A symbolic link is a reparse point of its own tag; a junction or any
// other reparse point is taken for what the system shows it as.
bool IsSymbolicLink(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(WideFromUtf8(path).c_str(), GetFileExInfoStandard, &data) == 0) return false;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return false;
  const HANDLE handle = OpenForIdentity(path, true);
  if (handle == INVALID_HANDLE_VALUE) return true;
  FILE_ATTRIBUTE_TAG_INFO tag{};
  const bool known = GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) != 0;
  CloseHandle(handle);
  return !known || tag.ReparseTag == IO_REPARSE_TAG_SYMLINK;
}

// "\\?\C:\games\a.kga" as people write it: "C:\games\a.kga".
std::string PlainPath(std::wstring name) {
  if (name.rfind(L"\\\\?\\UNC\\", 0) == 0)
    name = L"\\\\" + name.substr(8);
  else if (name.rfind(L"\\\\?\\", 0) == 0 && name.size() >= 7 && name[5] == L':')
    name = name.substr(4);
  return Utf8FromWide(name);
}

}  // namespace

FileIdentity IdentifyFile(const char* path) { return IdentityOfName(path, false); }

FileIdentity IdentifyName(const char* path) {
  if (path != nullptr && *path != '\0' && IsSymbolicLink(path)) {
    FileIdentity id = IdentityOfName(path, true);
    id.exists = true;
    id.kind = FileKind::Link;
    return id;
  }
  return IdentityOfName(path, false);
}

// Windows gives the whole path a link finally leads to, links on the way
// followed, rather than the link's own text; a link whose target is
// missing cannot be followed.
LinkRead ReadLink(const std::string& path, std::string& text, FileError& error) {
  if (!IsSymbolicLink(path)) return LinkRead::NotALink;
  const HANDLE handle = OpenForIdentity(path, false);
  if (handle == INVALID_HANDLE_VALUE) {
    error = WinFailure(TrLater("cannot follow the link: %1"), GetLastError());
    return LinkRead::Failed;
  }
  std::wstring name(32768, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  const DWORD code = GetLastError();
  CloseHandle(handle);
  if (length == 0 || length >= name.size()) {
    error = WinFailure(TrLater("cannot follow the link: %1"), code);
    return LinkRead::Failed;
  }
  name.resize(length);
  text = PlainPath(name);
  return LinkRead::Link;
}
