#include "files_win32.h"

FileError WinFailure(const char* format, DWORD code) {
  FileError error = SystemFailure(format, SystemMessage(code));
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      error.kind = FileErrorKind::NotFound;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      error.kind = FileErrorKind::Exists;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      error.kind = FileErrorKind::Busy;
      break;
    case ERROR_CANT_RESOLVE_FILENAME:
      error.kind = FileErrorKind::LinkLoop;
      break;
    default:
      break;
  }
  return error;
}

// The volume's serial number and the file's index on it name one file for
// as long as it exists, as a device and an inode number do. A pipe or a
// device has no such numbers: only its kind is told.
FileIdentity IdentifyHandle(HANDLE handle) {
  FileIdentity id;
  switch (GetFileType(handle)) {
    case FILE_TYPE_DISK: break;
    case FILE_TYPE_PIPE: id.kind = FileKind::Pipe; break;
    case FILE_TYPE_CHAR: id.kind = FileKind::Device; break;
    default: id.kind = FileKind::Other; break;
  }
  if (id.kind != FileKind::None) {
    id.exists = true;
    return id;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(handle, &info) == 0) return FileIdentity{};
  id.exists = true;
  id.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Directory : FileKind::Regular;
  id.volume = info.dwVolumeSerialNumber;
  id.fileId = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  id.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  const uint64_t ticks = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                         info.ftLastWriteTime.dwLowDateTime;  // 100 ns since 1601
  const int64_t since1970 = static_cast<int64_t>(ticks) - 116444736000000000LL;
  id.modifiedNs = since1970 * 100;
  return id;
}

HANDLE OpenForIdentity(const std::string& path, bool ownName) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (ownName ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  return CreateFileW(WideFromUtf8(path).c_str(), FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     flags, nullptr);
}
