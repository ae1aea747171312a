#include "user_folder.h"

// clang-format off
#include <windows.h>
#include <shlobj.h>
#include <knownfolders.h>
// clang-format on

#include <string>
#include <vector>

#include "file_identity.h"
#include "folder_lock.h"
#include "texts.h"
#include "win32_text.h"

namespace {

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder + name;
  return folder + L'\\' + name;
}

FileKind KindOf(const std::wstring& path) { return IdentifyFile(Utf8FromWide(path).c_str()).kind; }

// The user's game and settings: never copied over, whatever the case of the
// name (Windows' names are case-blind).
bool IsUsersOwn(const std::wstring& name) {
  return CompareStringOrdinal(name.c_str(), -1, L"korvin.kga", -1, TRUE) == CSTR_EQUAL ||
         CompareStringOrdinal(name.c_str(), -1, L"korvin.cfg", -1, TRUE) == CSTR_EQUAL;
}

// The folder of the running .exe; false with the system's reason.
bool ProgramFolder(std::wstring& folder, DWORD& err) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      err = GetLastError();
      return false;
    }
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // a long path: cut short, try a larger buffer
  }
  const size_t slash = path.find_last_of(L"\\/");
  folder = slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
  return true;
}

// %LOCALAPPDATA% as the system knows it (not as the environment says).
bool LocalAppData(std::wstring& folder, HRESULT& result) {
  PWSTR path = nullptr;
  result = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &path);
  if (SUCCEEDED(result) && path != nullptr) folder = path;
  CoTaskMemFree(path);
  return SUCCEEDED(result);
}

// `path` named absolutely against the current folder; false with the
// system's reason.
bool Absolute(std::wstring& path, DWORD& err) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) {
    err = GetLastError();
    return false;
  }
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) {
    err = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
    return false;
  }
  full.resize(length);
  path = full;
  return true;
}

bool CopyShippedFilesWide(const std::wstring& assets, const std::wstring& folder, std::string& error) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(Join(assets, L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND) return true;  // an empty folder
    error = Fill(Tr("The pictures and book of Korvin 4 cannot be read from \"%1\": %2."),
                 {Utf8FromWide(assets), SystemMessage(err)});
    return false;
  }
  bool copied = true;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    const std::wstring name = found.cFileName;
    if (IsUsersOwn(name)) continue;
    const std::wstring source = Join(assets, name), target = Join(folder, name);
    WIN32_FILE_ATTRIBUTE_DATA there{};
    if (GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &there)) {
      if ((there.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = Fill(Tr("\"%1\" is in the way of the file %2 of Korvin 4; please move it."),
                     {Utf8FromWide(target), Utf8FromWide(name)});
        copied = false;
        break;
      }
      if (CompareFileTime(&found.ftLastWriteTime, &there.ftLastWriteTime) <= 0) continue;
    }
    // CopyFileW gives the copy the shipped file's time of last writing.
    const std::wstring part = Join(folder, L"." + name + L"." + std::to_wstring(GetCurrentProcessId()));
    if (!CopyFileW(source.c_str(), part.c_str(), FALSE) ||
        !MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const DWORD err = GetLastError();
      DeleteFileW(part.c_str());
      error = Fill(Tr("The file %1 of Korvin 4 cannot be copied into \"%2\": %3."),
                   {Utf8FromWide(name), Utf8FromWide(folder), SystemMessage(err)});
      copied = false;
      break;
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return copied;
}

// Makes `folder` current; false with the message lines.
bool Enter(const std::wstring& folder, std::vector<std::string>& message) {
  if (SetCurrentDirectoryW(folder.c_str())) return true;
  const DWORD err = GetLastError();
  message = {Fill(Tr("Korvin 4 cannot open the folder for its games, \"%1\": %2."),
                  {Utf8FromWide(folder), SystemMessage(err)})};
  return false;
}

}  // namespace

bool CopyShippedFiles(const std::string& assets, const std::string& folder, std::string& error) {
  return CopyShippedFilesWide(WideFromUtf8(assets), WideFromUtf8(folder), error);
}

bool EnterUserFolder(std::string& openPath, std::vector<std::string>& message) {
  DWORD err = 0;
  // The game file is named against the folder the user started from, which
  // is left below.
  if (!openPath.empty()) {
    std::wstring path = WideFromUtf8(openPath);
    if (!Absolute(path, err)) {
      message = {Fill(Tr("The game file \"%1\" cannot be opened: %2."), {openPath, SystemMessage(err)})};
      return false;
    }
    openPath = Utf8FromWide(path);
  }

  std::wstring program;
  if (!ProgramFolder(program, err)) {
    message = {Fill(Tr("Korvin 4 cannot find the folder it was started from: %1."), {SystemMessage(err)})};
    return false;
  }
  if (KindOf(Join(program, WideFromUtf8(kPortableMarker))) == FileKind::Regular)
    return Enter(program, message);

  std::wstring base;
  HRESULT result = S_OK;
  if (!LocalAppData(base, result)) {
    message = {Fill(Tr("Korvin 4 cannot find the folder for your games (%1)."),
                    {SystemMessage(static_cast<DWORD>(result))})};
    return false;
  }
  const std::wstring folder = Join(base, L"Korvin 4");
  err = CreateDirectoryW(folder.c_str(), nullptr) ? ERROR_SUCCESS : GetLastError();
  if (err == ERROR_ALREADY_EXISTS && KindOf(folder) != FileKind::Directory)
    err = ERROR_DIRECTORY;  // a file has its name
  if (err != ERROR_SUCCESS && err != ERROR_ALREADY_EXISTS) {
    message = {Fill(Tr("Korvin 4 cannot make the folder for its games, \"%1\": %2."),
                    {Utf8FromWide(folder), SystemMessage(err)})};
    return false;
  }
  const std::wstring assets = Join(program, L"assets");
  if (KindOf(assets) != FileKind::Directory) {
    message = {Fill(Tr("The pictures and book of Korvin 4 are missing: there is no folder \"%1\"."),
                    {Utf8FromWide(assets)}),
               Tr("Please install Korvin 4 again.")};
    return false;
  }
  if (!Enter(folder, message)) return false;

  // The program takes the same lock for its whole run; while another one
  // holds it, its folder is left as it is.
  std::string lockError;
  const FolderLockResult lock = LockWorkingFolder(lockError);
  if (lock == FolderLockResult::HeldElsewhere) return true;
  std::string error;
  const bool copied = CopyShippedFilesWide(assets, folder, error);
  if (lock == FolderLockResult::Taken) UnlockWorkingFolder();
  if (!copied) {
    message = {error, Tr("Please install Korvin 4 again.")};
    return false;
  }
  return true;
}
