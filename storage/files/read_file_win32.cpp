#include "files_win32.h"
#include "read_file.h"
#include "texts.h"

namespace {

FileError ReadFailure(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME
             ? Failure(FileErrorKind::NotFound, Tr("file not found"))
             : WinFailure(kCannotRead, code);
}

// The name is looked at first, so that a folder is refused unopened, and
// the open file again: a device ("CON", "NUL"), a pipe or a folder that
// took the name between is refused before a byte is read. Opening never
// waits: a pipe that is busy refuses the open. Every sharing is allowed,
// so that a writer can rename its new file over this one meanwhile.
HANDLE OpenRegular(const char* path, size_t limit, FileError& error) {
  if (path == nullptr || *path == '\0') {
    error = ReadFailure(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  const std::wstring name = WideFromUtf8(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data) == 0) {
    const DWORD code = GetLastError();
    // A device's name ("NUL", "COM1") has no attributes of a file.
    error = code == ERROR_BAD_DEV_TYPE ? NotRegular(FileKind::Device) : ReadFailure(code);
    return INVALID_HANDLE_VALUE;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    error = NotRegular(FileKind::Directory);
    return INVALID_HANDLE_VALUE;
  }
  const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = ReadFailure(GetLastError());
    return INVALID_HANDLE_VALUE;
  }
  const FileKind kind = KindOfHandle(file);
  LARGE_INTEGER size{};
  if (kind != FileKind::Regular)
    error = NotRegular(kind);
  else if (GetFileSizeEx(file, &size) == 0)
    error = ReadFailure(GetLastError());
  else if (static_cast<unsigned long long>(size.QuadPart) > limit)
    error = TooLarge(limit);
  else
    return file;
  CloseHandle(file);
  return INVALID_HANDLE_VALUE;
}

// Reads up to `limit` bytes, and one more to see whether there are more.
// 0 or the code of the failing read.
DWORD ReadUpTo(HANDLE file, size_t limit, std::vector<unsigned char>& data, bool& longer) {
  const size_t want = limit == kAnySize ? limit : limit + 1;
  unsigned char chunk[16384];
  while (data.size() < want) {
    const size_t left = want - data.size();
    const DWORD ask = static_cast<DWORD>(left < sizeof chunk ? left : sizeof chunk);
    DWORD got = 0;
    if (ReadFile(file, chunk, ask, &got, nullptr) == 0) return GetLastError();
    if (got == 0) break;
    data.insert(data.end(), chunk, chunk + got);
  }
  longer = data.size() > limit;
  if (longer) data.resize(limit);
  return 0;
}

}  // namespace

bool ReadRegularFile(const char* path, size_t openLimit, size_t readLimit,
                     std::vector<unsigned char>& data, bool& longer, FileIdentity* identity,
                     FileError& error) {
  data.clear();
  longer = false;
  const HANDLE file = OpenRegular(path, openLimit, error);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (identity != nullptr) *identity = IdentifyHandle(file);
  const DWORD code = ReadUpTo(file, readLimit, data, longer);
  CloseHandle(file);
  if (code != 0) {
    data.clear();
    longer = false;
    error = ReadFailure(code);
    return false;
  }
  return true;
}
