#include "atomic_write.h"
#include "files_win32.h"
#include "texts.h"

struct SystemFile {
  HANDLE handle;
};

namespace {

// Six letters or digits that another writer, in this process or another,
// is unlikely to pick at the same moment; a name that is taken all the
// same is refused by CREATE_NEW and another one tried.
std::string SixLetters() {
  static uint64_t counter = 0;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  uint64_t x = static_cast<uint64_t>(now.QuadPart) ^ (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^
               (++counter * 0x9E3779B97F4A7C15ULL);
  x ^= x >> 31;
  x *= 0xBF58476D1CE4E5B9ULL;
  x ^= x >> 27;
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string letters;
  for (int i = 0; i < 6; i++) {
    letters += kLetters[x % 62];
    x /= 62;
  }
  return letters;
}

HANDLE Handle(const TemporaryFile& temp) { return temp.file->handle; }

}  // namespace

// The temporary may be renamed while it is open (FILE_SHARE_DELETE), and
// nobody else writes it meanwhile. Its permissions are those Windows gives
// every new file in the folder.
bool CreateTemporary(const std::string& target, TemporaryFile& temp, FileError& error) {
  for (int attempt = 0; attempt < 100; attempt++) {
    const std::string name = TemporaryPrefix(target) + SixLetters();
    const HANDLE file = CreateFileW(WideFromUtf8(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      temp.name = name;
      temp.file = new SystemFile{file};
      return true;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) continue;
    const DWORD folder = GetFileAttributesW(WideFromUtf8(FolderOf(target)).c_str());
    if (code == ERROR_PATH_NOT_FOUND && folder == INVALID_FILE_ATTRIBUTES)
      error = Failure(FileErrorKind::NoFolder,
                      Fill(Tr("cannot write: the folder \"%1\" does not exist"), {FolderOf(target)}));
    else
      error = WinFailure(kCannotWrite, code);
    return false;
  }
  error = WinFailure(kCannotWrite, ERROR_FILE_EXISTS);
  return false;
}

// The lock on the first byte is held by this handle alone, which still
// writes the whole file.
bool LockTemporary(TemporaryFile& temp, FileError& error) {
  OVERLAPPED at{};
  if (LockFileEx(Handle(temp), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0)
    return true;
  const DWORD code = GetLastError();
  if (code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_FUNCTION) return true;
  error = code == ERROR_LOCK_VIOLATION
              ? Failure(FileErrorKind::Busy, Tr("cannot write: another process holds the temporary file"))
              : WinFailure(kCannotWrite, code);
  return false;
}

bool WriteTemporary(TemporaryFile& temp, const unsigned char* data, size_t size, FileError& error) {
  size_t done = 0;
  while (done < size) {
    const size_t left = size - done;
    const DWORD ask = static_cast<DWORD>(left < (1u << 30) ? left : (1u << 30));
    DWORD wrote = 0;
    if (WriteFile(Handle(temp), data + done, ask, &wrote, nullptr) == 0 || wrote == 0) {
      error = WinFailure(kCannotWrite, GetLastError());
      return false;
    }
    done += wrote;
  }
  return true;
}

bool FlushTemporary(TemporaryFile& temp, FileIdentity& identity, FileError& error) {
  if (FlushFileBuffers(Handle(temp)) == 0) {
    error = WinFailure(kCannotWrite, GetLastError());
    return false;
  }
  identity = IdentifyHandle(Handle(temp));
  return true;
}

bool CloseTemporary(TemporaryFile& temp, FileError& error) {
  if (temp.file == nullptr) return true;
  const BOOL closed = CloseHandle(Handle(temp));
  const DWORD code = GetLastError();
  delete temp.file;
  temp.file = nullptr;
  if (closed != 0) return true;
  error = WinFailure(kCannotWrite, code);
  return false;
}

// Closed first: a file still open would only be marked for deletion.
void DiscardTemporary(TemporaryFile& temp) {
  FileError ignored;
  CloseTemporary(temp, ignored);
  if (!temp.name.empty()) DeleteFileW(WideFromUtf8(temp.name).c_str());
}
