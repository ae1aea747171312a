// The kept game is written only over the file the program read or wrote
// there itself: a file found in its place is moved aside first, a file with
// the very bytes written last counts as the program's own, and a kept game
// that was never read is not touched.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "atomic_write.h"
#include "game_file.h"
#include "kept_game.h"
#include "storage_error.h"
#include "storage_test_util.h"

namespace fs = std::filesystem;

namespace {

class KeptGameFileTest : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    oldDir_ = fs::current_path();
    fs::current_path(dir);
  }
  void TearDown() override {
    SetFileFault(FileFault::None);
    SetWriteStepHook(nullptr);
    fs::current_path(oldDir_);
    StorageTest::TearDown();
  }
  // Files whose names begin with `prefix`.
  std::vector<std::string> FilesStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& name : Files())
      if (name.rfind(prefix, 0) == 0) found.push_back(name);
    return found;
  }

 private:
  fs::path oldDir_;
};

TEST_F(KeptGameFileTest, EveryWriteReplacesOnlyTheProgramsOwnFile) {
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  ASSERT_EQ(kept.state, KeptGameState::Missing);
  PlayMoves("e2e4");
  KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  ASSERT_TRUE(save.saved) << save.error;
  EXPECT_TRUE(save.foundKeptAs.empty());
  PlayMoves("e7e5 g1f3");
  save = SaveKeptGame(kKeptGamePath, kept);
  ASSERT_TRUE(save.saved) << save.error;
  EXPECT_EQ(ReadAll("korvin.kga").size(), 21u);
  EXPECT_EQ(Files(), std::vector<std::string>{"korvin.kga"});
}

// Another program, or the user, puts a game where the kept game was: it is
// moved aside under a name that keeps it, and the current game is written.
TEST_F(KeptGameFileTest, AFileFoundInPlaceIsMovedAsideNotOverwritten) {
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  PlayMoves("e2e4 e7e5");
  ASSERT_TRUE(SaveKeptGame(kKeptGamePath, kept).saved);
  const Bytes theirs = {36, 46, 7, 15, 0, 0, 0};  // e2e3, someone else's game
  fs::remove("korvin.kga");
  WriteAll("korvin.kga", theirs);
  PlayMoves("g1f3");
  const KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  ASSERT_TRUE(save.saved) << save.error;
  ASSERT_FALSE(save.foundKeptAs.empty());
  EXPECT_EQ(save.foundKeptAs.rfind("korvin.kga.found-", 0), 0u) << save.foundKeptAs;
  EXPECT_EQ(ReadAll(save.foundKeptAs), theirs);
  EXPECT_EQ(ReadAll("korvin.kga").size(), 21u);
  // From now on the program's file is its own again: no more moving aside.
  PlayMoves("b8c6");
  const KeptGameSave next = SaveKeptGame(kKeptGamePath, kept);
  EXPECT_TRUE(next.saved);
  EXPECT_TRUE(next.foundKeptAs.empty());
  EXPECT_EQ(FilesStartingWith("korvin.kga.").size(), 1u);
}

// A game without moves removes the kept game, but never a file the program
// did not write: that one is moved aside.
TEST_F(KeptGameFileTest, AGameWithoutMovesNeverDeletesAFileItDidNotWrite) {
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  ASSERT_EQ(kept.state, KeptGameState::Missing);
  WriteAll("korvin.kga", Bytes{36, 56, 7, 15, 56, 0, 0});  // copied in meanwhile
  const KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);  // no moves
  ASSERT_TRUE(save.saved) << save.error;
  EXPECT_FALSE(fs::exists("korvin.kga"));
  ASSERT_FALSE(save.foundKeptAs.empty());
  EXPECT_EQ(ReadAll(save.foundKeptAs).size(), 7u);
}

// A synchronising program that rewrites the file with the same bytes (a
// new file, the same game) does not make it a stranger.
TEST_F(KeptGameFileTest, TheSameBytesInANewFileCountAsTheProgramsOwn) {
  PlayMoves("e2e4 e7e5");
  ASSERT_TRUE(SaveGame(kKeptGamePath));
  FreshEngine();
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  ASSERT_EQ(kept.state, KeptGameState::Loaded);
  const Bytes same = ReadAll("korvin.kga");
  fs::remove("korvin.kga");
  WriteAll("korvin.kga", same);
  PlayMoves("g1f3");
  const KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  ASSERT_TRUE(save.saved) << save.error;
  EXPECT_TRUE(save.foundKeptAs.empty());
  EXPECT_EQ(Files(), std::vector<std::string>{"korvin.kga"});
}

// A kept game of the wrong length is damaged: moved aside at start-up, so
// that nothing shorter is ever written over it.
TEST_F(KeptGameFileTest, AKeptGameOfTheWrongLengthIsMovedAside) {
  PlayMoves("e2e4 e7e5");
  ASSERT_TRUE(SaveGame(kKeptGamePath));
  Bytes bytes = ReadAll("korvin.kga");
  bytes.resize(17, 7);
  WriteAll("korvin.kga", bytes);
  FreshEngine();
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  ASSERT_EQ(kept.state, KeptGameState::MovedAside);
  EXPECT_EQ(kept.reason, "not a Korvin game: the file is cut short or damaged: its length (17 bytes) is no whole number of moves");
  EXPECT_EQ(ReadAll(kept.keptAs), bytes);
  EXPECT_EQ(E.gameMoveNumber, 0);
}

#ifndef _WIN32  // symbolic links and FIFOs
// Through a symbolic link the kept game lives where the link points; a
// dangling link is kept and written through.
TEST_F(KeptGameFileTest, ALinkedKeptGameStaysALink) {
  fs::create_directory("synced");
  fs::create_symlink("synced/korvin.kga", "korvin.kga");
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  ASSERT_EQ(kept.state, KeptGameState::Missing);
  ASSERT_TRUE(SaveKeptGame(kKeptGamePath, kept).saved);  // no moves: nothing to remove
  EXPECT_TRUE(fs::is_symlink("korvin.kga"));
  PlayMoves("e2e4");
  ASSERT_TRUE(SaveKeptGame(kKeptGamePath, kept).saved);
  EXPECT_TRUE(fs::is_symlink("korvin.kga"));
  EXPECT_EQ(ReadAll("synced/korvin.kga").size(), 7u);
  PlayMoves("e7e5");
  ASSERT_TRUE(SaveKeptGame(kKeptGamePath, kept).saved);
  EXPECT_EQ(ReadAll("synced/korvin.kga").size(), 14u);
}
#endif  // symbolic links and FIFOs

TEST_F(KeptGameFileTest, AKeptGameNeverReadIsNotTouched) {
  WriteAll("korvin.kga", Bytes{1, 2, 3});
  KeptGame kept{};
  PlayMoves("e2e4");
  const KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  EXPECT_FALSE(save.saved);
  EXPECT_EQ(ReadAll("korvin.kga"), (Bytes{1, 2, 3}));
}

// Another program's game, and what the hooks below do with the name of the
// file being written.
const Bytes kTheirs = {36, 46, 7, 15, 0, 0, 0};  // e2e3
int replacements = 0;

// Another program puts its game there after the check, before the write.
void TheirsJustBefore(WriteStep step, const std::string& target) {
  if (step != WriteStep::BeforeReplace) return;
  fs::remove(target);
  WriteAll(target, kTheirs);
}

// Another program moves the new file away and puts its game there, right
// after the write.
void TheirsJustAfter(WriteStep step, const std::string& target) {
  if (step != WriteStep::AfterReplace) return;
  fs::rename(target, "ours.kga");
  WriteAll(target, kTheirs);
}

void CountReplacements(WriteStep step, const std::string&) {
  if (step == WriteStep::BeforeReplace) replacements++;
}

// Between the check and the write the file there is replaced: the newcomer
// is kept, whether the file system swaps the two names or not.
TEST_F(KeptGameFileTest, AFileReplacedBetweenTheCheckAndTheWriteIsKept) {
  for (const bool exchange : {true, false}) {
    SCOPED_TRACE(exchange ? "exchange" : "no exchange");
    for (const std::string& name : Files()) fs::remove(name);
    FreshEngine();
    SetFileFault(exchange ? FileFault::None : FileFault::NoExchange);
    KeptGame kept = LoadKeptGame(kKeptGamePath);
    PlayMoves("e2e4 e7e5");
    ASSERT_TRUE(SaveKeptGame(kKeptGamePath, kept).saved);
    PlayMoves("g1f3");
    SetWriteStepHook(TheirsJustBefore);
    const KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
    SetWriteStepHook(nullptr);
    ASSERT_TRUE(save.saved) << save.error;
    ASSERT_EQ(save.foundKeptAs.rfind("korvin.kga.found-", 0), 0u) << save.foundKeptAs;
    EXPECT_EQ(ReadAll(save.foundKeptAs), kTheirs);
    EXPECT_EQ(ReadAll("korvin.kga").size(), 21u);
    EXPECT_EQ(Files().size(), 2u);  // the program's game, theirs kept: the old one is gone
  }
}

// The file the program knows is the one it wrote, from the handle that
// wrote it, not whatever has the name when it looks again.
TEST_F(KeptGameFileTest, TheKnownFileIsTheWrittenOneEvenWhenTheNameIsReplacedAtOnce) {
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  PlayMoves("e2e4");
  SetWriteStepHook(TheirsJustAfter);
  ASSERT_TRUE(SaveKeptGame(kKeptGamePath, kept).saved);
  SetWriteStepHook(nullptr);
  EXPECT_TRUE(SameFile(kept.known, IdentifyFile("ours.kga")));
  EXPECT_EQ(ReadAll("ours.kga").size(), 7u);
  // So theirs is a stranger at the next save, and kept.
  PlayMoves("e7e5");
  const KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  ASSERT_TRUE(save.saved) << save.error;
  EXPECT_EQ(ReadAll(save.foundKeptAs), kTheirs);
  EXPECT_EQ(ReadAll("korvin.kga").size(), 14u);
}

// A save whose folder could not be flushed is told, and written again at
// the next save even when the game has not changed; the file written is
// still the program's own, never taken for a stranger's.
TEST_F(KeptGameFileTest, AFolderThatCannotBeFlushedIsToldAndTheGameWrittenAgain) {
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  PlayMoves("e2e4");
  SetFileFault(FileFault::FolderSyncFails);
  KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  EXPECT_FALSE(save.saved);
  EXPECT_EQ(save.error, "cannot write: Input/output error");
  EXPECT_EQ(ReadAll("korvin.kga").size(), 7u);
  SetFileFault(FileFault::None);
  SetWriteStepHook(CountReplacements);
  replacements = 0;
  save = SaveKeptGame(kKeptGamePath, kept);
  EXPECT_TRUE(save.saved) << save.error;
  EXPECT_TRUE(save.foundKeptAs.empty());
  EXPECT_EQ(replacements, 1);
  save = SaveKeptGame(kKeptGamePath, kept);  // now sure: nothing to write
  EXPECT_TRUE(save.saved);
  EXPECT_EQ(replacements, 1);
  EXPECT_EQ(Files(), std::vector<std::string>{"korvin.kga"});

  // The same for a game without moves, whose file is removed.
  FreshEngine();
  SetFileFault(FileFault::FolderSyncFails);
  save = SaveKeptGame(kKeptGamePath, kept);
  EXPECT_FALSE(save.saved);
  EXPECT_EQ(save.error, "cannot delete: Input/output error");
  SetFileFault(FileFault::None);
  EXPECT_TRUE(SaveKeptGame(kKeptGamePath, kept).saved);
  EXPECT_TRUE(Files().empty());
}

TEST_F(KeptGameFileTest, ACloseThatFailsAfterTheRenameIsASave) {
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  PlayMoves("e2e4");
  SetFileFault(FileFault::CloseFails);
  const KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  EXPECT_TRUE(save.saved) << save.error;
  SetFileFault(FileFault::None);
  PlayMoves("e7e5");
  EXPECT_TRUE(SaveKeptGame(kKeptGamePath, kept).foundKeptAs.empty());
  EXPECT_EQ(Files(), std::vector<std::string>{"korvin.kga"});
  EXPECT_EQ(ReadAll("korvin.kga").size(), 14u);
}

// A file there that is not the one written last must be read to tell
// whose it is; when it cannot be read the save stops and says so, and the
// file (perhaps the program's own game) is not moved aside as found.
TEST_F(KeptGameFileTest, AFileThatCannotBeReadStopsTheSaveAndStays) {
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  PlayMoves("e2e4 e7e5");
  ASSERT_TRUE(SaveKeptGame(kKeptGamePath, kept).saved);
  const Bytes same = ReadAll("korvin.kga");
  fs::remove("korvin.kga");
  WriteAll("korvin.kga", same);  // rewritten by a synchronising program
  PlayMoves("g1f3");
  SetFileFault(FileFault::ReadFails);
  KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  EXPECT_FALSE(save.saved);
  EXPECT_EQ(save.error,
            "the file there could not be read to tell whether Korvin 4 wrote it (cannot read: "
            "Input/output error)");
  EXPECT_TRUE(save.foundKeptAs.empty());
  EXPECT_EQ(Files(), std::vector<std::string>{"korvin.kga"});
  EXPECT_EQ(ReadAll("korvin.kga"), same);
  SetFileFault(FileFault::None);
  save = SaveKeptGame(kKeptGamePath, kept);
  EXPECT_TRUE(save.saved) << save.error;
  EXPECT_TRUE(save.foundKeptAs.empty());
  EXPECT_EQ(ReadAll("korvin.kga").size(), 21u);
}

// The user deleted the kept game while the program ran: the next save
// writes it again, and there is nothing to move aside.
TEST_F(KeptGameFileTest, AKeptGameDeletedMeanwhileIsWrittenAgain) {
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  PlayMoves("e2e4");
  ASSERT_TRUE(SaveKeptGame(kKeptGamePath, kept).saved);
  fs::remove("korvin.kga");
  PlayMoves("e7e5");
  const KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  EXPECT_TRUE(save.saved) << save.error;
  EXPECT_TRUE(save.foundKeptAs.empty());
  EXPECT_EQ(Files(), std::vector<std::string>{"korvin.kga"});
  EXPECT_EQ(ReadAll("korvin.kga").size(), 14u);
}

#ifndef _WIN32  // symbolic links and FIFOs
// A folder, a named pipe or a link to either that takes the kept game's
// name is kept whole, and the game written beside it under the usual name.
TEST_F(KeptGameFileTest, AFolderOrAPipeInItsPlaceIsKeptWhole) {
  KeptGame kept = LoadKeptGame(kKeptGamePath);
  PlayMoves("e2e4");
  fs::create_directory("korvin.kga");
  WriteAll("korvin.kga/inside", Bytes{1});
  KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  ASSERT_TRUE(save.saved) << save.error;
  EXPECT_EQ(ReadAll(fs::path(save.foundKeptAs) / "inside"), Bytes{1});
  EXPECT_EQ(ReadAll("korvin.kga").size(), 7u);
  fs::remove("korvin.kga");
  ASSERT_EQ(0, mkfifo("pipe", 0644));
  fs::create_symlink("pipe", "korvin.kga");
  PlayMoves("e7e5");
  save = SaveKeptGame(kKeptGamePath, kept);
  ASSERT_TRUE(save.saved) << save.error;
  EXPECT_TRUE(fs::is_symlink(save.foundKeptAs));
  EXPECT_EQ(fs::status("pipe").type(), fs::file_type::fifo);
  EXPECT_EQ(ReadAll("korvin.kga").size(), 14u);
}
#endif  // symbolic links and FIFOs

}  // namespace
