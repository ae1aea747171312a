#include <gtest/gtest.h>
#include <sys/stat.h>

#include "atomic_file.h"
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

TEST_F(AtomicWriteTest, MissingDirectoryAndEmptyNameFailWithAReason) {
  PlayMoves("e2e4");
  EXPECT_FALSE(SaveGame(PathOf("no/such/dir/g.kga").c_str()));
  EXPECT_STREQ(StorageError(), "cannot write: No such file or directory");
  EXPECT_FALSE(SaveGame(""));
  EXPECT_STREQ(StorageError(), "cannot write: no file name");
  EXPECT_FALSE(SaveConfig(PathOf("no/such/dir/k.cfg").c_str()));
  EXPECT_TRUE(Files().empty());
}

TEST_F(AtomicWriteTest, ReplacingAFileKeepsItsPermissions) {
  const std::string path = PathOf("g.kga");
  WriteAll(path, Bytes{1, 2, 3});
  ASSERT_EQ(0, chmod(path.c_str(), 0640));
  std::string error;
  const unsigned char data[] = {9, 8, 7, 6};
  ASSERT_TRUE(WriteFileAtomically(path.c_str(), data, sizeof data, error)) << error;
  struct stat st;
  ASSERT_EQ(0, stat(path.c_str(), &st));
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadAll(path), (Bytes{9, 8, 7, 6}));
}

TEST_F(AtomicWriteTest, DeletingAMissingFileIsNoErrorButADirectoryIs) {
  std::string error;
  EXPECT_TRUE(RemoveFileIfPresent(PathOf("absent").c_str(), error));
  std::filesystem::create_directory(dir / "sub");
  EXPECT_FALSE(RemoveFileIfPresent(PathOf("sub").c_str(), error));
  EXPECT_EQ(error.rfind("cannot delete: ", 0), 0u) << error;
}

TEST_F(AtomicWriteTest, ReadingStopsAtTheLimit) {
  const std::string path = PathOf("big");
  WriteAll(path, Bytes(100, 0x41));
  Bytes data;
  std::string error;
  ASSERT_TRUE(ReadFileBytes(path.c_str(), 28, data, error));
  EXPECT_EQ(data, Bytes(28, 0x41));
}

}  // namespace
