// The computer's turn: levels, the announcements and their order, the draw
// tests and the limits of the game record.
#include <vector>

#include "book.h"
#include "engine_test_util.h"
#include "game.h"
#include "think.h"

namespace {

std::vector<int> shown;
int iterations = 0;

// (How long a result stays up is the window program's affair: the program
// tests check its 3000 ms.)
void RecordResult(int kind) { shown.push_back(kind); }

void CountIteration(int, int) { iterations++; }

class Driver : public testing::Test {
 protected:
  void SetUp() override {
    shown.clear();
    iterations = 0;
    showResultHook = RecordResult;
    iterationHook = CountIteration;
    LoadBookBytes(nullptr, 0);  // no book unless a test loads one
    playLevel = 1;
  }
  void TearDown() override {
    showResultHook = nullptr;
    iterationHook = nullptr;
  }
  int playLevel = 1;  // the level the computer's turns are played at
  std::string LastMove() {
    return SquareName(E.gameFrom[E.gameMoveNumber]) + SquareName(E.gameTo[E.gameMoveNumber]);
  }
};

TEST_F(Driver, NoviceSearchesOnePlyAndRecordsTheMove) {
  FreshEngine();
  ThinkAndMove(playLevel);
  EXPECT_EQ(iterations, 1);
  EXPECT_EQ(E.gameMoveNumber, 1);
  EXPECT_EQ(E.gameFrom[2], -1);
  EXPECT_EQ(E.gameCastleRights[1], 15);
  EXPECT_EQ(E.sideToMove, 1);
  EXPECT_EQ(E.keyHistory[1], E.positionKey);
  EXPECT_TRUE(shown.empty());
}

TEST_F(Driver, LevelOutsideTheRangePlaysAsNovice) {
  for (const int level : {0, 5, -3}) {
    SetLevelLimits(level);
    EXPECT_EQ(E.timeLimit, 999999999);
    EXPECT_EQ(E.maxDepth, 1);
  }
  SetLevelLimits(3);
  EXPECT_EQ(E.timeLimit, 1000);
  EXPECT_EQ(E.maxDepth, 99);
}

TEST_F(Driver, MatingMoveShowsCheckmateWithoutVerification) {
  SetFen("k7/8/1K6/8/8/8/8/2Q5 w - - 0 1");
  ThinkAndMove(playLevel);
  EXPECT_EQ(LastMove(), "c1c8");
  EXPECT_EQ(shown, std::vector<int>{kResultCheckmate});
}

TEST_F(Driver, StalematingMoveIsFoundByTheVerificationSearch) {
  // At one ply the computer does not see that Kc6 leaves Black no move.
  SetFen("k7/2Q5/8/1K6/8/8/8/8 w - - 0 1");
  ThinkAndMove(playLevel);
  EXPECT_EQ(shown, std::vector<int>{kResultStalemate});
}

TEST_F(Driver, NoLegalMoveShowsTheResultAndPlaysNothing) {
  SetFen("7k/5KQ1/8/8/8/8/8/8 b - - 0 1");
  ThinkAndMove(playLevel);
  EXPECT_EQ(shown, std::vector<int>{kResultCheckmate});
  EXPECT_EQ(E.gameMoveNumber, 0);
  EXPECT_EQ(E.gameFrom[1], -1);
  SetFen("7k/5K2/6Q1/8/8/8/8/8 b - - 0 1");
  shown.clear();
  ThinkAndMove(playLevel);
  EXPECT_EQ(shown, std::vector<int>{kResultStalemate});
}

TEST_F(Driver, MateThresholdGrowsToTheMateFound) {
  // A mate in two is found within a few hundred nodes at any speed.
  SetFen("7k/8/8/8/8/8/R7/1R4K1 w - - 0 1");
  playLevel = 3;
  ThinkAndMove(playLevel);
  EXPECT_EQ(E.mateThreshold, 29995);
}

TEST_F(Driver, RepetitionIsAnnouncedOnceThenPlayGoesOn) {
  FreshEngine();
  PlayMoves("g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8");
  EXPECT_EQ(RepetitionCount(8), 1);
  CheckDrawAnnouncements();
  EXPECT_TRUE(shown.empty());
  PlayMoves("g1f3 g8f6 f3g1 f6g8");
  CheckDrawAnnouncements();
  EXPECT_EQ(shown, std::vector<int>{kResultDraw});
  EXPECT_EQ(E.gameEndMove, 12);
  PlayMoves("g1f3 g8f6 f3g1 f6g8");
  CheckDrawAnnouncements();
  EXPECT_EQ(shown.size(), 1u) << "a later repetition shows nothing";
  // A move played from before the announced draw withdraws it.
  for (int i = 0; i < 6; i++) StepBackGameMove();
  PlayMoves("b1c3");
  EXPECT_EQ(E.gameEndMove, 0);
}

TEST_F(Driver, InsufficientMaterial) {
  SetFen("4k3/8/8/2n5/8/8/8/2B1K3 w - - 0 1");  // bishop against knight
  CheckDrawAnnouncements();
  EXPECT_EQ(shown, std::vector<int>{kResultDraw});
  shown.clear();
  SetFen("4k3/8/8/8/8/8/4P3/2N1K3 w - - 0 1");  // knight and pawn
  CheckDrawAnnouncements();
  EXPECT_TRUE(shown.empty());
}

TEST_F(Driver, FullRecordLeavesTheComputerWaiting) {
  FreshEngine();
  E.gameMoveNumber = kMaxGameMoves;
  E.gameFrom[kMaxGameMoves + 1] = -1;
  ThinkAndMove(playLevel);
  EXPECT_EQ(E.gameMoveNumber, kMaxGameMoves);
  EXPECT_EQ(E.gameFrom[kMaxGameMoves + 1], -1);
  EXPECT_EQ(PlayGameMove(36, 56), 0);
}

TEST_F(Driver, BookIsAskedOnlyWhileTheGameIsYoung) {
  // One line: 1. e4 e5 2. Nf3.
  const unsigned char line[] = {36, 56, 86, 66, 28, 47, 0};
  LoadBookBytes(line, sizeof(line));
  FreshEngine();
  ThinkAndMove(playLevel);
  EXPECT_EQ(LastMove(), "e2e4");
  EXPECT_EQ(iterations, 0) << "no search for a book move";
  ThinkAndMove(playLevel);
  EXPECT_EQ(LastMove(), "e7e5");
  // A line whose 41st half-move would follow the game is not looked at
  // once 40 half-moves were played.
  std::vector<unsigned char> longLine;
  for (int i = 0; i < 10; i++)
    longLine.insert(longLine.end(), {28, 47, 98, 77, 47, 28, 77, 98});
  longLine.insert(longLine.end(), {36, 56, 0});
  LoadBookBytes(longLine.data(), longLine.size());
  FreshEngine();
  for (int i = 0; i < 9; i++) PlayMoves("g1f3 g8f6 f3g1 f6g8");
  PlayMoves("g1f3 g8f6 f3g1");
  E.gameEndMove = 1;  // keep repetitions out of the way
  iterations = 0;
  ThinkAndMove(playLevel);  // half-move 40 still comes from the book
  EXPECT_EQ(LastMove(), "f6g8");
  EXPECT_EQ(iterations, 0);
  ThinkAndMove(playLevel);
  EXPECT_EQ(iterations, 1) << "searched, not e2e4 from the book";
}

}  // namespace
