// Choosing book moves: matching the game, the random choice among the lines,
// leaving the book, and the limits of the candidate table and the book.
#include <gtest/gtest.h>

#include <algorithm>

#include "book_test_util.h"
#include "game.h"

namespace {

class BookProbe : public ::testing::Test {
 protected:
  void SetUp() override { FreshEngine(); }
};

constexpr int kDraws = 6000;

TEST_F(BookProbe, RepliesAfterFirstMoveAreChosenEvenly) {
  // 1. e4 e5 and 1. e4 c5.
  LoadBookValues({36, 56, 86, 66, 0, 36, 56, 84, 64, 0});
  ASSERT_TRUE(PlayMoves("e2e4"));
  const auto counts = ProbeCounts(kDraws);
  EXPECT_EQ(CountOf(counts, "e7e5") + CountOf(counts, "c7c5"), kDraws);
  EXPECT_NEAR(CountOf(counts, "e7e5") / double(kDraws), 0.5, 0.03);
  EXPECT_NEAR(CountOf(counts, "c7c5") / double(kDraws), 0.5, 0.03);
}

TEST_F(BookProbe, CandidatesAreNotMerged) {
  // Two lines begin with 1. e4 and one with 1. d4.
  LoadBookValues({36, 56, 86, 66, 0, 36, 56, 84, 64, 0, 35, 55, 85, 65, 0});
  const auto counts = ProbeCounts(kDraws);
  EXPECT_EQ(CountOf(counts, "e2e4") + CountOf(counts, "d2d4"), kDraws);
  EXPECT_NEAR(CountOf(counts, "e2e4") / double(kDraws), 2.0 / 3.0, 0.03);
  EXPECT_NEAR(CountOf(counts, "d2d4") / double(kDraws), 1.0 / 3.0, 0.03);
}

TEST_F(BookProbe, ChoosesOnlyMovesThatContinueTheWholeGame) {
  // 1. e4 e5 2. Nf3 and 1. e4 e5 2. Bc4: after 1. e4 e5 both, after 2. Nf3
  // Black has no book move in the first line's continuation.
  LoadBookValues({36, 56, 86, 66, 28, 47, 0, 36, 56, 86, 66, 27, 54, 92, 0});
  ASSERT_EQ(bookLoadReport.cuts.size(), 1u);  // Bc4 then ...a8 is no move
  ASSERT_TRUE(PlayMoves("e2e4 e7e5"));
  const auto counts = ProbeCounts(2000);
  EXPECT_GT(CountOf(counts, "g1f3"), 0);
  EXPECT_GT(CountOf(counts, "f1c4"), 0);
  EXPECT_EQ(CountOf(counts, "g1f3") + CountOf(counts, "f1c4"), 2000);
  ASSERT_TRUE(PlayMoves("g1f3"));
  EXPECT_EQ(ProbeBook(), 0);
}

TEST_F(BookProbe, LineEndingAtOrBeforeTheCurrentMoveGivesNoCandidate) {
  LoadBookValues({36, 56, 0, 36, 56, 86, 66, 0});
  ASSERT_TRUE(PlayMoves("e2e4"));
  // Only the second line goes on after 1. e4.
  const auto afterE4 = ProbeCounts(200);
  EXPECT_EQ(CountOf(afterE4, "e7e5"), 200);
  ASSERT_TRUE(PlayMoves("e7e5"));
  EXPECT_EQ(ProbeBook(), 0);  // the longer line ends exactly here
  ASSERT_TRUE(PlayMoves("g1f3"));
  EXPECT_EQ(ProbeBook(), 0);  // and both end before this move
}

TEST_F(BookProbe, GameThatLeftTheBookNeverReturns) {
  // Book: 1. Nf3 Nf6 2. c4 e6. Game: 1. c4 Nf6 2. Nf3 reaches the position
  // after 2. c4 of the book line by another move order.
  LoadBookValues({28, 47, 98, 77, 34, 54, 86, 76, 0});
  ASSERT_TRUE(PlayMoves("c2c4"));
  EXPECT_EQ(ProbeBook(), 0);
  ASSERT_TRUE(PlayMoves("g8f6 g1f3"));
  EXPECT_EQ(ProbeBook(), 0);
  // The book itself does give e6 after its own move order.
  ResetGame();
  E.gameFrom[1] = -1;
  ASSERT_TRUE(PlayMoves("g1f3 g8f6 c2c4"));
  ASSERT_EQ(ProbeBook(), 1);
  EXPECT_EQ(E.pvFrom[1][1], 86);
  EXPECT_EQ(E.pvTo[1][1], 76);
}

TEST_F(BookProbe, NoBookGivesNoMove) {
  LoadBookFile("/nonexistent-directory/korvin.bok");
  EXPECT_EQ(bookLoadReport.opened, 0);
  EXPECT_EQ(E.bookLength, 0);
  EXPECT_EQ(ProbeBook(), 0);
  LoadBookBytes(nullptr, 0);
  EXPECT_EQ(E.bookLength, 1);  // an empty file: no bytes, length 0 + 1
  EXPECT_EQ(ProbeBook(), 0);
  ASSERT_TRUE(PlayMoves("e2e4"));
  EXPECT_EQ(ProbeBook(), 0);
}

TEST_F(BookProbe, EmptyLinesAreSkipped) {
  LoadBookValues({0, 0, 35, 55, 0, 0});
  const auto counts = ProbeCounts(100);
  EXPECT_EQ(CountOf(counts, "d2d4"), 100);
}

TEST_F(BookProbe, KeepsOnlyTheFirst3000Candidates) {
  std::vector<int> book;
  for (int i = 0; i < 3000; i++) book.insert(book.end(), {36, 56, 0});
  for (int i = 0; i < 200; i++) book.insert(book.end(), {35, 55, 0});
  LoadBookValues(book);
  ASSERT_TRUE(bookLoadReport.cuts.empty());
  ASSERT_EQ(bookLoadReport.lines, 3200);
  const auto counts = ProbeCounts(3000);
  EXPECT_EQ(CountOf(counts, "e2e4"), 3000);
  EXPECT_EQ(CountOf(counts, "d2d4"), 0);
  EXPECT_EQ(E.bookCandidateFrom[kBookCandidates], 36);
}

TEST_F(BookProbe, NeverReadsPastTheBook) {
  LoadBookValues({36, 56, 0});
  ASSERT_EQ(E.bookLength, 4);
  // Whatever lies beyond the book must not be taken for more lines.
  for (int k = 4; k + 2 <= kBookBytes; k += 3) {
    E.bookBytes[k] = 35;
    E.bookBytes[k + 1] = 55;
    E.bookBytes[k + 2] = 0;
  }
  const auto counts = ProbeCounts(500);
  EXPECT_EQ(CountOf(counts, "e2e4"), 500);
  // A book whose last line lost its end byte in memory stops at bookLength.
  E.bookLength = 3;
  E.bookBytes[3] = 35;
  EXPECT_EQ(ProbeBook(), 1);
  EXPECT_EQ(E.pvFrom[1][1], 36);
}

TEST_F(BookProbe, GameNotStartedFromTheInitialPositionIsOffBook) {
  LoadBookValues({36, 56, 86, 66, 0});
  std::string error;
  // A position where e2 is empty: a book move there would be illegal.
  ASSERT_TRUE(SetupFen("4k3/8/8/8/8/8/8/4K3 w - -", error)) << error;
  EXPECT_EQ(ProbeBook(), 0);
  // The initial position set up the same way is on the book.
  ASSERT_TRUE(SetupFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", error));
  EXPECT_EQ(ProbeBook(), 1);
}

// The shipped book: playing its moves as long as it has one always gives
// legal moves, for both colours, over many different games.
TEST_F(BookProbe, ShippedBookPlaysLegalVariedOpenings) {
  LoadBookFile(KORVIN_BOOK_FILE);
  ASSERT_TRUE(bookLoadReport.cuts.empty());
  std::vector<std::string> firstTwo;
  int longest = 0;
  for (int game = 0; game < 300; game++) {
    SeedRandom(static_cast<uint32_t>(1000 + game));
    ResetGame();
    E.gameFrom[1] = -1;
    std::string opening;
    while (E.gameMoveNumber < 40 && ProbeBook()) {
      const int from = E.pvFrom[1][1], to = E.pvTo[1][1];
      ASSERT_EQ(IsLegalMove(from, to), 1) << opening;
      ASSERT_TRUE(PlayMoves(SquareName(from) + SquareName(to)));
      if (E.gameMoveNumber <= 2) opening += SquareName(from) + SquareName(to);
    }
    EXPECT_GE(E.gameMoveNumber, 8) << opening;
    longest = std::max(longest, E.gameMoveNumber);
    if (std::find(firstTwo.begin(), firstTwo.end(), opening) == firstTwo.end())
      firstTwo.push_back(opening);
  }
  EXPECT_LE(longest, 20);
  EXPECT_GE(firstTwo.size(), 15u);  // many different first move pairs
}

}  // namespace
