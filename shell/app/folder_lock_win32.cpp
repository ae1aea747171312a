#include "folder_lock.h"

#include <windows.h>

#include <string>

#include "win32_text.h"
#include "working_folder_win32.h"

namespace {

HANDLE lockMutex = nullptr;

}  // namespace

// The lock is a named mutex of this session, named after the folder: the
// system drops it when the process ends however it ends, and no file is made
// in the folder.
FolderLockResult LockWorkingFolder(std::string& error) {
  UnlockWorkingFolder();
  std::wstring identity;
  if (!WorkingFolderIdentity(identity, error)) return FolderLockResult::Unsupported;
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
