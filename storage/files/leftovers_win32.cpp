#include "files_win32.h"
#include "leftovers.h"

std::vector<std::string> NamesInFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry{};
  const HANDLE find = FindFirstFileExW(WideFromUtf8(folder + "\\*").c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = Utf8FromWide(entry.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(find, &entry) != 0);
  FindClose(find);
  return names;
}

// A writer that is still at work holds a lock on the file's first byte
// (LockTemporary). The name is opened itself, never what a link points
// to, and removed through the open handle, so that a file that took the
// name between is never the one removed.
bool RemoveUnheldFile(const std::string& folder, const std::string& name) {
  const HANDLE file = CreateFileW(WideFromUtf8(folder + "\\" + name).c_str(), GENERIC_READ | DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool removed = false;
  BY_HANDLE_FILE_INFORMATION info{};
  OVERLAPPED at{};
  if (GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) != 0 &&
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
      LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0) {
    UnlockFileEx(file, 0, 1, 0, &at);
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    removed = SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
  }
  CloseHandle(file);
  return removed;
}
