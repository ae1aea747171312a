#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include "atomic_write.h"
#include "leftovers.h"
#include "read_file.h"
#include "set_aside.h"
#include "config_file.h"
#include "game_file.h"
#include "storage_error.h"
#include "storage_test_util.h"

namespace {

class AtomicWriteTest : public StorageTest {
 protected:
  void TearDown() override {
    SetAtomicWriteFailAfter(-1);
    StorageTest::TearDown();
  }
};

// A save that fails part-way (a full disk) leaves the previous file whole and
// readable, and no temporary file behind.
TEST_F(AtomicWriteTest, FailedGameSaveKeepsThePreviousFile) {
  const std::string path = PathOf("korvin.kga");
  PlayMoves("e2e4 e7e5");
  ASSERT_TRUE(SaveGame(path.c_str()));
  const Bytes old = ReadAll(path);
  PlayMoves("g1f3 b8c6 f1b5");
  for (long cut : {0L, 1L, 7L, 30L}) {
    SetAtomicWriteFailAfter(cut);
    EXPECT_FALSE(SaveGame(path.c_str())) << cut;
    EXPECT_STREQ(StorageError(), "cannot write: No space left on device");
    EXPECT_EQ(ReadAll(path), old) << cut;
    EXPECT_EQ(Files(), std::vector<std::string>{"korvin.kga"}) << cut;
  }
  SetAtomicWriteFailAfter(-1);
  FreshEngine();
  ASSERT_TRUE(LoadGame(path.c_str())) << StorageError();
  EXPECT_EQ(E.gameMoveNumber, 2);
  // The hook off again, the save goes through.
  PlayMoves("g1f3");
  ASSERT_TRUE(SaveGame(path.c_str()));
  EXPECT_EQ(ReadAll(path).size(), 21u);
  EXPECT_EQ(Files(), std::vector<std::string>{"korvin.kga"});
}

TEST_F(AtomicWriteTest, FailedConfigSaveKeepsThePreviousFile) {
  const std::string path = PathOf("korvin.cfg");
  settings = Settings{1, 2, 400, 400, 0, 1, 0};
  ASSERT_TRUE(SaveConfig(path.c_str()));
  const Bytes old = ReadAll(path);
  settings.level = 4;
  SetAtomicWriteFailAfter(27);
  EXPECT_FALSE(SaveConfig(path.c_str()));
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_EQ(Files(), std::vector<std::string>{"korvin.cfg"});
}

#ifndef _WIN32  // POSIX permissions, FIFOs, links and locks
TEST_F(AtomicWriteTest, UnwritableDirectoryKeepsThePreviousFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const std::string path = PathOf("korvin.kga");
  PlayMoves("e2e4");
  ASSERT_TRUE(SaveGame(path.c_str()));
  const Bytes old = ReadAll(path);
  PlayMoves("e7e5");
  ASSERT_EQ(0, chmod(dir.c_str(), 0555));
  EXPECT_FALSE(SaveGame(path.c_str()));
  EXPECT_STREQ(StorageError(), "cannot write: Permission denied");
  ASSERT_EQ(0, chmod(dir.c_str(), 0755));
  EXPECT_EQ(ReadAll(path), old);
}
#endif  // POSIX permissions, FIFOs, links and locks

TEST_F(AtomicWriteTest, MissingDirectoryAndEmptyNameFailWithAReason) {
  PlayMoves("e2e4");
  EXPECT_FALSE(SaveGame(PathOf("no/such/dir/g.kga").c_str()));
  EXPECT_EQ(std::string(StorageError()),
            "cannot write: the folder \"" + PathOf("no/such/dir") + "\" does not exist");
  EXPECT_FALSE(SaveGame(""));
  EXPECT_STREQ(StorageError(), "cannot write: no file name");
  EXPECT_FALSE(SaveConfig(PathOf("no/such/dir/k.cfg").c_str()));
  EXPECT_TRUE(Files().empty());
}

#ifndef _WIN32  // POSIX permissions, FIFOs, links and locks
TEST_F(AtomicWriteTest, ReplacingAFileKeepsItsPermissions) {
  const std::string path = PathOf("g.kga");
  WriteAll(path, Bytes{1, 2, 3});
  ASSERT_EQ(0, chmod(path.c_str(), 0640));
  FileError error;
  const unsigned char data[] = {9, 8, 7, 6};
  ASSERT_TRUE(WriteFileAtomically(path.c_str(), data, sizeof data, error)) << error.message;
  struct stat st;
  ASSERT_EQ(0, stat(path.c_str(), &st));
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadAll(path), (Bytes{9, 8, 7, 6}));
}
#endif  // POSIX permissions, FIFOs, links and locks

TEST_F(AtomicWriteTest, DeletingAMissingFileIsNoErrorButADirectoryIs) {
  FileError error;
  EXPECT_TRUE(RemoveFileIfPresent(PathOf("absent").c_str(), error));
  std::filesystem::create_directory(dir / "sub");
  EXPECT_FALSE(RemoveFileIfPresent(PathOf("sub").c_str(), error));
  EXPECT_EQ(error.message.rfind("cannot delete: ", 0), 0u) << error.message;
}

// A whole read refuses a file longer than its limit; a read of the start
// takes the first bytes and says there were more.
TEST_F(AtomicWriteTest, ReadingRespectsTheLimit) {
  const std::string path = PathOf("big");
  WriteAll(path, Bytes(100, 0x41));
  Bytes data;
  FileError error;
  EXPECT_FALSE(ReadFileBytes(path.c_str(), 28, data, error));
  EXPECT_EQ(error.message, "the file is larger than 28 bytes");
  EXPECT_TRUE(data.empty());
  ASSERT_TRUE(ReadFileBytes(path.c_str(), 100, data, error)) << error.message;
  EXPECT_EQ(data, Bytes(100, 0x41));
  bool longer = false;
  ASSERT_TRUE(ReadFileStart(path.c_str(), 28, data, longer, error)) << error.message;
  EXPECT_EQ(data, Bytes(28, 0x41));
  EXPECT_TRUE(longer);
  ASSERT_TRUE(ReadFileStart(path.c_str(), 100, data, longer, error)) << error.message;
  EXPECT_EQ(data.size(), 100u);
  EXPECT_FALSE(longer);
}

#ifndef _WIN32  // POSIX permissions, FIFOs, links and locks
// Nothing but a regular file is ever read or replaced: each of these would
// block, never end, or be destroyed by a rename over it.
TEST_F(AtomicWriteTest, OnlyRegularFilesAreReadOrReplaced) {
  ASSERT_EQ(0, mkfifo(PathOf("pipe").c_str(), 0644));
  std::filesystem::create_symlink("/dev/zero", dir / "zero");
  std::filesystem::create_directory(dir / "folder");
  struct Case {
    const char* name;
    const char* reason;
  };
  for (const Case& c : {Case{"pipe", "not a regular file (a named pipe)"},
                        Case{"zero", "not a regular file (a device)"},
                        Case{"folder", "not a regular file (a directory)"}}) {
    SCOPED_TRACE(c.name);
    const std::string path = PathOf(c.name);
    Bytes data;
    bool longer = false;
    FileError error;
    EXPECT_FALSE(ReadFileBytes(path.c_str(), 28, data, error));
    EXPECT_EQ(error.message, c.reason);
    EXPECT_FALSE(ReadFileStart(path.c_str(), 28, data, longer, error));
    EXPECT_EQ(error.message, c.reason);
    const unsigned char bytes[] = {1, 2, 3};
    EXPECT_FALSE(WriteFileAtomically(path.c_str(), bytes, sizeof bytes, error));
    EXPECT_EQ(error.message, std::string("cannot write: ") + c.reason);
  }
  struct stat st;
  ASSERT_EQ(0, lstat(PathOf("pipe").c_str(), &st));
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  Bytes data;
  FileError error;
  EXPECT_FALSE(ReadFileBytes(PathOf("absent").c_str(), 28, data, error));
  EXPECT_EQ(error.kind, FileErrorKind::NotFound);
  EXPECT_EQ(error.message, "file not found");
  EXPECT_EQ(Files().size(), 3u);  // no temporary left behind
}

// Only the names WriteFileAtomically makes for this very file are removed,
// only regular files, and never one that a writer still holds.
TEST_F(AtomicWriteTest, LeftoverTemporariesAreRemovedAndNothingElse) {
  for (const char* name : {"korvin.kga.tmpAb12Z9", "korvin.kga.tmpzzzzzz"})
    WriteAll(PathOf(name), Bytes{1});
  const char* const kept[] = {"korvin.kga", "korvin.kga.tmp12345", "korvin.kga.tmp1234567",
                              "korvin.kga.tmp-12345", "korvin.cfg.tmpAAAAAA", "xkorvin.kga.tmpAAAAAA",
                              "korvin.kga.tmpAAAAAA.bak"};
  for (const char* name : kept) WriteAll(PathOf(name), Bytes{2});
  std::filesystem::create_directory(dir / "korvin.kga.tmpDIR123");
  std::filesystem::create_symlink(PathOf("korvin.kga"), dir / "korvin.kga.tmpLINK12");
  std::string busy = PathOf("korvin.kga.tmpXXXXXX");
  const int writer = mkstemp(busy.data());
  ASSERT_GE(writer, 0);
  ASSERT_EQ(0, flock(writer, LOCK_EX));

  EXPECT_EQ(RemoveLeftoverTemporaries(PathOf("korvin.kga").c_str()), 2);
  for (const char* name : kept) EXPECT_TRUE(std::filesystem::exists(PathOf(name))) << name;
  EXPECT_TRUE(std::filesystem::is_directory(dir / "korvin.kga.tmpDIR123"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "korvin.kga.tmpLINK12"));
  EXPECT_TRUE(std::filesystem::exists(busy));
  EXPECT_FALSE(std::filesystem::exists(PathOf("korvin.kga.tmpAb12Z9")));
  close(writer);  // the writer died: its file is a leftover now
  EXPECT_EQ(RemoveLeftoverTemporaries(PathOf("korvin.kga").c_str()), 1);
  EXPECT_FALSE(std::filesystem::exists(busy));
}
#endif  // POSIX permissions, FIFOs, links and locks

// A file moved aside gets a dated name and never replaces another file.
TEST_F(AtomicWriteTest, MovingAsideNeverReplacesAFile) {
  const std::string path = PathOf("korvin.kga");
  std::vector<std::string> names;
  for (int n = 0; n < 3; n++) {
    WriteAll(path, Bytes{static_cast<unsigned char>(n)});
    std::string keptAs;
    FileError error;
    ASSERT_TRUE(MoveFileAside(path.c_str(), keptAs, error)) << error.message;
    names.push_back(keptAs);
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  // Each name is new (a counter follows a name already taken), and each
  // file keeps its bytes.
  ASSERT_EQ(names[0].rfind(path + ".damaged-", 0), 0u) << names[0];
  const std::string stamp = names[0].substr(path.size() + 9);
  ASSERT_EQ(stamp.size(), 15u);
  EXPECT_EQ(stamp[8], '-');
  for (int n = 0; n < 3; n++) {
    EXPECT_EQ(ReadAll(names[n]), Bytes{static_cast<unsigned char>(n)}) << names[n];
    for (int m = 0; m < n; m++) EXPECT_NE(names[m], names[n]);
  }
  // A directory moves aside as well; a missing file cannot.
  std::filesystem::create_directory(path);
  std::string keptAs;
  FileError error;
  ASSERT_TRUE(MoveFileAside(path.c_str(), keptAs, error)) << error.message;
  EXPECT_TRUE(std::filesystem::is_directory(keptAs));
  EXPECT_FALSE(MoveFileAside(path.c_str(), keptAs, error));
  EXPECT_EQ(error.kind, FileErrorKind::NotFound);
  ExpectSystemReason(error.message, "cannot rename: No such file or directory");
}

}  // namespace
