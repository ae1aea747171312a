// The working folder's identity on its volume, for the Windows halves of the
// folder lock and the hand-off: it stays the same under another name for the
// folder (a junction, a mapped drive), as a folder's device and inode do on
// POSIX systems.
#pragma once

#include <windows.h>

#include <string>

#include "win32_text.h"

// "<volume serial>-<file index>"; false with the reason in `error`.
inline bool WorkingFolderIdentity(std::wstring& identity, std::string& error) {
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
