#include "files_win32.h"
#include "set_aside.h"
#include "texts.h"

// A symbolic link to a folder is removed as a folder is; DeleteFileW
// removes every other name, a link itself and never what it points to.
bool RemoveName(const std::string& path, FileError& error) {
  const std::wstring name = WideFromUtf8(path);
  if (DeleteFileW(name.c_str()) != 0) return true;
  DWORD code = GetLastError();
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    if (RemoveDirectoryW(name.c_str()) != 0) return true;
    code = GetLastError();
  }
  error = WinFailure(kCannotDelete, code);
  return false;
}
