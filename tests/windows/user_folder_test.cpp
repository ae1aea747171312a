// The copying of the shipped pictures and book into the user's folder on
// Windows (user_folder.h), on real files under Wine: in folders with spaces
// and accented letters, the user's game and settings never copied over, an
// older copy replaced and a newer one kept, a folder in the way refused.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "user_folder.h"
#include "win32_text.h"

namespace {

class UserFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1];
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    root = std::wstring(temp) + L"korvin4-user-folder-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    assets = root + L"\\Korvin 4 – Übung\\assets";
    folder = root + L"\\Schachpartien – Übung";
    ASSERT_TRUE(CreateDirectoryW((root + L"\\Korvin 4 – Übung").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(assets.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  }
  void TearDown() override { Remove(root); }

  static void Remove(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring inner = path + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          Remove(inner);
        else
          DeleteFileW(inner.c_str());
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
  }

  // Writes `text` to `path` and dates it `age` hours before a fixed day.
  static void Write(const std::wstring& path, const std::string& text, int age) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
    SYSTEMTIME day{2026, 6, 0, 15, 12, 0, 0, 0};
    FILETIME time{};
    ASSERT_TRUE(SystemTimeToFileTime(&day, &time));
    ULARGE_INTEGER value{};
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    value.QuadPart -= static_cast<ULONGLONG>(age) * 3600ULL * 10000000ULL;
    time.dwLowDateTime = value.LowPart;
    time.dwHighDateTime = value.HighPart;
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
  }

  static std::string Read(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(missing)";
    char buffer[256];
    DWORD read = 0;
    std::string text;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
  }

  static ULONGLONG WriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  }

  // The names in the folder other than . and ..
  int Count(const std::wstring& path) {
    int count = 0;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") count++;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
  }

  bool Copy(std::string& error) {
    return CopyShippedFiles(Utf8FromWide(assets), Utf8FromWide(folder), error);
  }

  std::wstring root, assets, folder;
};

TEST_F(UserFolderTest, AFirstStartCopiesThePicturesAndBookButNeverAGameOrSettings) {
  Write(assets + L"\\light.jpg", "light", 10);
  Write(assets + L"\\korvin.bok", "book", 10);
  Write(assets + L"\\fig1.png", "pawn", 10);
  // A game or settings in the installation are never the user's.
  Write(assets + L"\\korvin.kga", "installed game", 1);
  Write(assets + L"\\KORVIN.CFG", "installed settings", 1);
  ASSERT_TRUE(CreateDirectoryW((assets + L"\\more").c_str(), nullptr));
  Write(assets + L"\\more\\inner.png", "inner", 1);

  std::string error;
  ASSERT_TRUE(Copy(error)) << error;
  EXPECT_EQ(Read(folder + L"\\light.jpg"), "light");
  EXPECT_EQ(Read(folder + L"\\korvin.bok"), "book");
  EXPECT_EQ(Read(folder + L"\\fig1.png"), "pawn");
  // The copy keeps the shipped file's time, so it is not copied again.
  EXPECT_EQ(WriteTime(folder + L"\\light.jpg"), WriteTime(assets + L"\\light.jpg"));
  EXPECT_EQ(Read(folder + L"\\korvin.kga"), "(missing)");
  EXPECT_EQ(Read(folder + L"\\korvin.cfg"), "(missing)");
  EXPECT_EQ(Read(folder + L"\\more"), "(missing)");
  // Nothing else: no temporary is left behind.
  EXPECT_EQ(Count(folder), 3);
}

TEST_F(UserFolderTest, AnUpdateReplacesOlderCopiesAndLeavesTheUsersFilesAlone) {
  Write(assets + L"\\light.jpg", "new light", 5);
  Write(assets + L"\\dark.jpg", "same dark", 10);
  Write(assets + L"\\korvin.bok", "shipped book", 10);
  Write(assets + L"\\korvin.kga", "installed game", 1);
  Write(folder + L"\\light.jpg", "old light", 20);
  Write(folder + L"\\dark.jpg", "user's dark", 10);       // as old as the shipped one
  Write(folder + L"\\korvin.bok", "user's newer book", 2);  // newer than the shipped one
  Write(folder + L"\\korvin.kga", "the user's game", 100);
  Write(folder + L"\\korvin.cfg", "the user's settings", 100);

  std::string error;
  ASSERT_TRUE(Copy(error)) << error;
  EXPECT_EQ(Read(folder + L"\\light.jpg"), "new light");
  EXPECT_EQ(Read(folder + L"\\dark.jpg"), "user's dark");
  EXPECT_EQ(Read(folder + L"\\korvin.bok"), "user's newer book");
  EXPECT_EQ(Read(folder + L"\\korvin.kga"), "the user's game");
  EXPECT_EQ(Read(folder + L"\\korvin.cfg"), "the user's settings");
  EXPECT_EQ(Count(folder), 5);

  // Once copied, a second start copies nothing: the user's change stays.
  Write(folder + L"\\light.jpg", "changed by hand", 5);
  ASSERT_TRUE(Copy(error)) << error;
  EXPECT_EQ(Read(folder + L"\\light.jpg"), "changed by hand");
}

TEST_F(UserFolderTest, AFolderInTheWayOfAShippedFileIsReportedByName) {
  Write(assets + L"\\light.jpg", "light", 10);
  ASSERT_TRUE(CreateDirectoryW((folder + L"\\light.jpg").c_str(), nullptr));
  std::string error;
  EXPECT_FALSE(Copy(error));
  EXPECT_NE(error.find(Utf8FromWide(folder + L"\\light.jpg")), std::string::npos) << error;
  EXPECT_EQ(Count(folder), 1);  // only the folder that was there
}

TEST_F(UserFolderTest, AMissingFolderOfPicturesIsAFailureWithItsName) {
  std::string error;
  EXPECT_FALSE(CopyShippedFiles(Utf8FromWide(root + L"\\nowhere"), Utf8FromWide(folder), error));
  EXPECT_NE(error.find(Utf8FromWide(root + L"\\nowhere")), std::string::npos) << error;
  // An empty folder of pictures is no failure: there is nothing to copy.
  EXPECT_TRUE(Copy(error)) << error;
  EXPECT_EQ(Count(folder), 0);
}

}  // namespace
