// Faults the file services meet, on purpose: a folder that cannot be
// flushed, a close that fails after the rename, a temporary another process
// holds, a file system that cannot swap names; and what each failure's kind
// tells the code that decides.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "atomic_write.h"
#include "config_file.h"
#include "displace.h"
#include "game_file.h"
#include "read_file.h"
#include "rename_file.h"
#include "storage_error.h"
#include "storage_test_util.h"

namespace fs = std::filesystem;

namespace {

class AtomicFaultTest : public StorageTest {
 protected:
  void TearDown() override {
    SetFileFault(FileFault::None);
    SetWriteStepHook(nullptr);
    StorageTest::TearDown();
  }
};

// The folder could not be flushed after the rename: the file holds the new
// game, but it may not survive a power cut, so the save has failed.
TEST_F(AtomicFaultTest, AFolderThatCannotBeFlushedFailsTheSave) {
  const std::string path = PathOf("g.kga");
  PlayMoves("e2e4");
  ASSERT_TRUE(SaveGame(path.c_str()));
  PlayMoves("e7e5");
  SetFileFault(FileFault::FolderSyncFails);
  EXPECT_FALSE(SaveGame(path.c_str()));
  EXPECT_STREQ(StorageError(), "cannot write: Input/output error");
  EXPECT_EQ(LastStorageFault(), StorageFault::FileFailed);
  EXPECT_EQ(ReadAll(path).size(), 14u);
  EXPECT_EQ(Files(), std::vector<std::string>{"g.kga"});
  // A deletion is no surer than its folder's flush either.
  FreshEngine();
  EXPECT_FALSE(SaveGame(path.c_str()));
  EXPECT_STREQ(StorageError(), "cannot delete: Input/output error");
  EXPECT_FALSE(fs::exists(path));
  settings.level = 3;
  EXPECT_FALSE(SaveConfig(PathOf("k.cfg").c_str()));
  SetFileFault(FileFault::None);
  EXPECT_TRUE(SaveConfig(PathOf("k.cfg").c_str())) << StorageError();
}

// After the rename the bytes are on the disk already: a close that fails
// then is no failure.
TEST_F(AtomicFaultTest, ACloseThatFailsAfterTheRenameIsNoFailure) {
  const std::string path = PathOf("g.kga");
  PlayMoves("e2e4 e7e5");
  SetFileFault(FileFault::CloseFails);
  ASSERT_TRUE(SaveGame(path.c_str())) << StorageError();
  EXPECT_STREQ(StorageError(), "");
  SetFileFault(FileFault::None);
  FreshEngine();
  ASSERT_TRUE(LoadGame(path.c_str())) << StorageError();
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(Files(), std::vector<std::string>{"g.kga"});
}

// Another process holds the temporary (it is clearing leftovers): the write
// fails, and the old file stays with no temporary left behind.
TEST_F(AtomicFaultTest, ATemporaryHeldByAnotherProcessFailsTheWrite) {
  const std::string path = PathOf("g.kga");
  PlayMoves("e2e4");
  ASSERT_TRUE(SaveGame(path.c_str()));
  PlayMoves("e7e5");
  SetFileFault(FileFault::LockTaken);
  EXPECT_FALSE(SaveGame(path.c_str()));
  EXPECT_STREQ(StorageError(), "cannot write: another process holds the temporary file");
  EXPECT_EQ(ReadAll(path).size(), 7u);
  EXPECT_EQ(Files(), std::vector<std::string>{"g.kga"});
}

// Another process renames the new file away and puts its own in its place
// right after the rename.
std::string movedTo;
void ReplaceRightAfter(WriteStep step, const std::string& target) {
  if (step != WriteStep::AfterReplace) return;
  fs::rename(target, movedTo);
  WriteAll(target, Bytes{1, 2, 3});
}

TEST_F(AtomicFaultTest, TheWrittenIdentityIsTheWrittenFilesNotTheNames) {
  const std::string path = PathOf("g.kga");
  movedTo = PathOf("moved.kga");
  SetWriteStepHook(ReplaceRightAfter);
  const unsigned char data[] = {9, 8, 7, 6};
  FileError error;
  FileIdentity written;
  ASSERT_TRUE(WriteFileAtomically(path.c_str(), data, sizeof data, error, &written)) << error.message;
  EXPECT_TRUE(SameFile(written, IdentifyFile(movedTo.c_str())));
  EXPECT_FALSE(SameFile(written, IdentifyFile(path.c_str())));
  EXPECT_EQ(written.size, 4u);
}

TEST_F(AtomicFaultTest, EveryFailureHasAKindForTheCodeThatDecides) {
  EXPECT_FALSE(LoadGame(PathOf("absent.kga").c_str()));
  EXPECT_EQ(LastStorageFault(), StorageFault::FileNotFound);
  EXPECT_FALSE(LoadGame(""));
  EXPECT_EQ(LastStorageFault(), StorageFault::FileNotFound);
  fs::create_directory(dir / "folder.kga");
  EXPECT_FALSE(LoadGame(PathOf("folder.kga").c_str()));
  EXPECT_EQ(LastStorageFault(), StorageFault::FileRefused);
  WriteAll(PathOf("big.cfg"), Bytes(29, 0));
  EXPECT_FALSE(LoadConfig(PathOf("big.cfg").c_str()));
  EXPECT_EQ(LastStorageFault(), StorageFault::FileRefused);
  WriteAll(PathOf("short.kga"), Bytes(5, 0));
  EXPECT_FALSE(LoadGame(PathOf("short.kga").c_str()));
  EXPECT_EQ(LastStorageFault(), StorageFault::NotAccepted);
  WriteAll(PathOf("good.cfg"), Bytes(28, 0));
  SetFileFault(FileFault::ReadFails);
  EXPECT_FALSE(LoadConfig(PathOf("good.cfg").c_str()));
  EXPECT_EQ(LastStorageFault(), StorageFault::FileFailed);
  EXPECT_STREQ(StorageError(), "cannot read: Input/output error");
  SetFileFault(FileFault::None);
  EXPECT_TRUE(LoadConfig(PathOf("good.cfg").c_str()));
  EXPECT_EQ(LastStorageFault(), StorageFault::None);

  // Renames say what stood in their way.
  FileError error;
  WriteAll(PathOf("a"), Bytes{1});
  WriteAll(PathOf("b"), Bytes{2});
  EXPECT_FALSE(RenameWithoutReplacing(PathOf("a"), PathOf("b"), kCannotRename, error));
  EXPECT_EQ(error.kind, FileErrorKind::Exists);
  EXPECT_EQ(ReadAll(PathOf("b")), Bytes{2});
  EXPECT_FALSE(RenameWithoutReplacing(PathOf("none"), PathOf("c"), kCannotRename, error));
  EXPECT_EQ(error.kind, FileErrorKind::NotFound);
  ExpectSystemReason(error.message, "cannot rename: No such file or directory");
  EXPECT_FALSE(ExchangeFiles(PathOf("a"), PathOf("none"), kCannotRename, error));
  EXPECT_EQ(error.kind, FileErrorKind::NotFound);
}

// A write that displaces what had the name, with the names swapped in one
// step and, where the file system cannot swap, in two.
class AtomicDisplaceTest : public AtomicFaultTest, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    AtomicFaultTest::SetUp();
    if (!GetParam()) SetFileFault(FileFault::NoExchange);
  }
  bool Write(const Bytes& bytes, bool keep, Displacement& result) {
    FileError error;
    const bool ok = WriteFileDisplacing(PathOf("g.kga").c_str(), bytes.data(), bytes.size(), "found",
                                        [keep](const std::string&) { return keep; }, result, error);
    EXPECT_TRUE(ok) << error.message;
    return ok;
  }
};

TEST_P(AtomicDisplaceTest, WhatHadTheNameIsKeptOrDeletedAsTheCallerSays) {
  Displacement result;
  ASSERT_TRUE(Write(Bytes{1}, true, result));  // nothing there yet
  EXPECT_TRUE(result.done);
  EXPECT_TRUE(result.keptAs.empty());
  EXPECT_EQ(Files(), std::vector<std::string>{"g.kga"});
  EXPECT_TRUE(SameFile(result.written, IdentifyFile(PathOf("g.kga").c_str())));

  ASSERT_TRUE(Write(Bytes{2}, true, result));
  ASSERT_EQ(result.keptAs.rfind(PathOf("g.kga.found-"), 0), 0u) << result.keptAs;
  EXPECT_EQ(ReadAll(result.keptAs), Bytes{1});
  EXPECT_EQ(ReadAll(PathOf("g.kga")), Bytes{2});

  ASSERT_TRUE(Write(Bytes{3}, false, result));
  EXPECT_TRUE(result.keptAs.empty());
  EXPECT_EQ(ReadAll(PathOf("g.kga")), Bytes{3});
  EXPECT_EQ(Files().size(), 2u);  // the one kept, and the new file

  // A folder is displaced whole, not refused.
  fs::remove(PathOf("g.kga"));
  fs::create_directory(dir / "g.kga");
  WriteAll(dir / "g.kga" / "inside", Bytes{4});
  ASSERT_TRUE(Write(Bytes{5}, true, result));
  EXPECT_EQ(ReadAll(fs::path(result.keptAs) / "inside"), Bytes{4});
  EXPECT_EQ(ReadAll(PathOf("g.kga")), Bytes{5});
}

TEST_P(AtomicDisplaceTest, ARemovalDisplacesTooAndAFailedFlushIsTold) {
  WriteAll(PathOf("g.kga"), Bytes{1});
  Displacement result;
  FileError error;
  const KeepDisplaced keep = [](const std::string&) { return true; };
  ASSERT_TRUE(RemoveFileDisplacing(PathOf("g.kga").c_str(), "found", keep, result, error));
  EXPECT_FALSE(fs::exists(PathOf("g.kga")));
  EXPECT_EQ(ReadAll(result.keptAs), Bytes{1});
  ASSERT_TRUE(RemoveFileDisplacing(PathOf("g.kga").c_str(), "found", keep, result, error));
  EXPECT_TRUE(result.keptAs.empty());  // nothing there: nothing to do

  SetFileFault(FileFault::FolderSyncFails);
  const Bytes bytes{6};
  EXPECT_FALSE(WriteFileDisplacing(PathOf("g.kga").c_str(), bytes.data(), bytes.size(), "found", keep,
                                   result, error));
  EXPECT_EQ(error.message, "cannot write: Input/output error");
  EXPECT_TRUE(result.done);  // in place, but not sure to survive a power cut
  EXPECT_EQ(ReadAll(PathOf("g.kga")), Bytes{6});
}

INSTANTIATE_TEST_SUITE_P(Swap, AtomicDisplaceTest, testing::Bool(),
                         [](const auto& test) { return test.param ? "Exchange" : "NoExchange"; });

}  // namespace
