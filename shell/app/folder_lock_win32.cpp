#include "folder_lock.h"

#include <windows.h>

#include <string>

#include "win32_text.h"

namespace {

HANDLE lockMutex = nullptr;

// The folder's identity on its volume (it stays the same under another
// name for the folder, a junction or a mapped drive).
bool FolderIdentity(std::wstring& identity, std::string& error) {
  const HANDLE folder = CreateFileW(L".", 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) {
    error = "cannot open the working folder: " + SystemMessage(GetLastError());
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(folder, &info) != 0;
  const DWORD err = GetLastError();
  CloseHandle(folder);
  if (!known) {
    error = "cannot look at the working folder: " + SystemMessage(err);
    return false;
  }
  identity = std::to_wstring(info.dwVolumeSerialNumber) + L"-" +
             std::to_wstring((static_cast<unsigned long long>(info.nFileIndexHigh) << 32) |
                             info.nFileIndexLow);
  return true;
}

}  // namespace

// The lock is a named mutex of this session, named after the folder: the
// system drops it when the process ends however it ends, and no file is made
// in the folder.
FolderLockResult LockWorkingFolder(std::string& error) {
  UnlockWorkingFolder();
  std::wstring identity;
  if (!FolderIdentity(identity, error)) return FolderLockResult::Unsupported;
  const std::wstring name = L"Local\\korvin4-folder-" + identity;
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) {
    error = "cannot lock the working folder: " + SystemMessage(GetLastError());
    return FolderLockResult::Unsupported;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return FolderLockResult::HeldElsewhere;
  }
  lockMutex = mutex;
  return FolderLockResult::Taken;
}

void UnlockWorkingFolder() {
  if (lockMutex == nullptr) return;
  CloseHandle(lockMutex);
  lockMutex = nullptr;
}
