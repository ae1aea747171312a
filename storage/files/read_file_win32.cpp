#include "files_win32.h"
#include "read_file.h"
#include "texts.h"

struct OpenedFile {
  HANDLE handle;
};

namespace {

FileError ReadFailure(DWORD code) {
  const FileError error = WinFailure(kCannotRead, code);
  return error.kind == FileErrorKind::NotFound ? Failure(FileErrorKind::NotFound, Tr("file not found"))
                                                : error;
}

}  // namespace

// The name is looked at first, so that a folder is refused unopened, and
// the open file again: a device ("CON", "NUL"), a pipe or a folder that
// took the name between is refused before a byte is read. Opening never
// waits: a pipe that is busy refuses the open. Every sharing is allowed,
// so that a writer can rename its new file over this one meanwhile.
OpenedFile* OpenRegularFile(const char* path, size_t openLimit, FileIdentity& identity,
                            FileError& error) {
  if (path == nullptr || *path == '\0') {
    error = ReadFailure(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  const std::wstring name = WideFromUtf8(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data) == 0) {
    const DWORD code = GetLastError();
    // A device's name ("NUL", "COM1") has no attributes of a file.
    error = code == ERROR_BAD_DEV_TYPE ? NotRegular(FileKind::Device) : ReadFailure(code);
    return nullptr;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    error = NotRegular(FileKind::Directory);
    return nullptr;
  }
  const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = ReadFailure(GetLastError());
    return nullptr;
  }
  const FileIdentity opened = IdentifyHandle(file);
  if (!opened.exists)
    error = ReadFailure(GetLastError());
  else if (opened.kind != FileKind::Regular)
    error = NotRegular(opened.kind);
  else if (opened.size > openLimit)
    error = TooLarge(openLimit);
  else {
    identity = opened;
    return new OpenedFile{file};
  }
  CloseHandle(file);
  return nullptr;
}

std::ptrdiff_t ReadOpenedFile(OpenedFile* file, unsigned char* buffer, size_t size, FileError& error) {
  DWORD got = 0;
  const DWORD ask = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
  if (ReadFile(file->handle, buffer, ask, &got, nullptr) != 0) return got;
  error = ReadFailure(GetLastError());
  return -1;
}

void CloseOpenedFile(OpenedFile* file) {
  CloseHandle(file->handle);
  delete file;
}
