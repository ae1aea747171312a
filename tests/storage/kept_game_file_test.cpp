// The kept game is written only over the file the program read or wrote
// there itself: a file found in its place is moved aside first, a file with
// the very bytes written last counts as the program's own, and a kept game
// that was never read is not touched.
#include <gtest/gtest.h>

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

TEST_F(KeptGameFileTest, AKeptGameNeverReadIsNotTouched) {
  WriteAll("korvin.kga", Bytes{1, 2, 3});
  KeptGame kept{};
  PlayMoves("e2e4");
  const KeptGameSave save = SaveKeptGame(kKeptGamePath, kept);
  EXPECT_FALSE(save.saved);
  EXPECT_EQ(ReadAll("korvin.kga"), (Bytes{1, 2, 3}));
}

}  // namespace
