#include "files_win32.h"
#include "rename_file.h"

namespace {

bool Move(const std::string& from, const std::string& to, DWORD flags, const char* format,
          FileError& error) {
  if (MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                  flags | MOVEFILE_WRITE_THROUGH) != 0)
    return true;
  error = WinFailure(format, GetLastError());
  return false;
}

}  // namespace

// MoveFileExW moves a link itself, never what it points to.
bool RenameReplacing(const std::string& from, const std::string& to, const char* format,
                     FileError& error) {
  return Move(from, to, MOVEFILE_REPLACE_EXISTING, format, error);
}

// Without MOVEFILE_REPLACE_EXISTING, Windows refuses a name that is taken
// in the same step as the rename.
bool RenameWithoutReplacing(const std::string& from, const std::string& to, const char* format,
                            FileError& error) {
  return Move(from, to, 0, format, error);
}

// Windows cannot swap two names in one step: the caller moves the old file
// aside first.
bool ExchangeFiles(const std::string& a, const std::string& b, const char* format, FileError& error) {
  for (const std::string* name : {&a, &b}) {
    if (GetFileAttributesW(WideFromUtf8(*name).c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    error = WinFailure(format, GetLastError());
    if (error.kind == FileErrorKind::NotFound) return false;
  }
  error = SystemFailure(format, "the names cannot be swapped");
  error.kind = FileErrorKind::Unsupported;
  return false;
}
