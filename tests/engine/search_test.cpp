// The full-width search, the quiescence search, move ordering and the
// transposition table.
#include <vector>

#include "engine_test_util.h"
#include "moves.h"
#include "ordering.h"
#include "resident_pages.h"
#include "search.h"
#include "think.h"
#include "ttable.h"

namespace {

// Prepares a search of the current position with no time limit and no
// random bonus.
void PrepareFixedSearch(int maxDepth) {
  E.maxDepth = maxDepth;
  E.timeLimit = 999999999;
  E.mateThreshold = kMateBound;
  E.searchStart = ClockMs();
  PrepareSearch();
  for (int i = 1; i <= 100; i++) E.rootBonus[i] = 0;
}

int SearchTo(int depth) {
  PrepareFixedSearch(depth);
  return DeepenSearch();
}

std::string BestMove() { return MoveName(E.pvFrom[1][1], E.pvTo[1][1]); }

// The score held in the entry of `key`, as stored.
int StoredScore(int key) {
  int k = 0, depth = 0, bound = 0, score = 0;
  TtReadEntry(TtIndex(key), k, depth, bound, score);
  return score;
}

TEST(Search, KingCaptureReturnsAtOnce) {
  // Black is in check with White to move: the move that led here was illegal.
  SetFen("4k3/8/8/8/8/8/4R3/4K3 b - - 0 1");
  E.sideToMove = 0;
  PositionReset();
  PrepareFixedSearch(3);
  E.moveCount = 0;
  EXPECT_EQ(Search(-kInfinity, kInfinity, 3), kInfinity - 1);
  EXPECT_EQ(E.nodes, 1);
}

TEST(Search, FindsMatesInOneTwoAndFour) {
  SetFen("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");  // back-rank mate
  EXPECT_EQ(SearchTo(2), 29997);
  EXPECT_EQ(BestMove(), "a1a8");
  SetFen("7k/8/8/8/8/8/R7/1R4K1 w - - 0 1");  // two rooks, mate in two
  EXPECT_EQ(SearchTo(4), 29995);
  SetFen("8/4k3/8/8/8/8/8/RR4K1 w - - 0 1");  // two rooks, mate in four
  EXPECT_EQ(SearchTo(7), 29991);
  EXPECT_EQ(E.mateThreshold, kMateBound) << "the driver, not the search, raises it";
}

TEST(Search, CheckAtTheFrontierIsExtendedOncePerLine) {
  // At depth 1 the mate is seen only because the checking move is searched
  // one ply deeper; with an extension already active on the line it is not.
  SetFen("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  PrepareFixedSearch(1);
  E.moveCount = 0;
  EXPECT_EQ(Search(-kInfinity, kInfinity, 1), 29997);
  EXPECT_EQ(E.extensionCount, 0);
  PrepareFixedSearch(1);
  E.moveCount = 0;
  E.extensionCount = 1;
  EXPECT_LT(Search(-kInfinity, kInfinity, 1), kMateBound);
  EXPECT_EQ(E.extensionCount, 1);
  E.extensionCount = 0;
}

TEST(Search, PrefersMateToStalemate) {
  // Qg6 would stalemate; Qg7 and Qh6 mate.
  SetFen("7k/5K2/8/6Q1/8/8/8/8 w - - 0 1");
  EXPECT_EQ(SearchTo(2), 29997);
  EXPECT_NE(BestMove(), "g5g6");
}

TEST(Search, NoLegalMoveReturnsMinus29998) {
  SetFen("7k/5KQ1/8/8/8/8/8/8 b - - 0 1");  // Black is mated
  EXPECT_EQ(SearchTo(1), -29998);
  SetFen("7k/5K2/6Q1/8/8/8/8/8 b - - 0 1");  // Black is stalemated
  EXPECT_EQ(SearchTo(1), -29998);
}

TEST(Search, RepetitionScoresZeroUntilADrawIsDeclared) {
  // Black is a queen down and can make a position occur for the third time.
  SetFen("rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  PlayMoves("g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1");
  EXPECT_EQ(SearchTo(2), 0);
  EXPECT_EQ(BestMove(), "f6g8");
  // Once a draw has been declared the repetition is searched normally.
  E.gameEndMove = 8;
  EXPECT_LT(SearchTo(2), -500);
}

TEST(Search, ExpiredTimeLimitReturnsAtOnce) {
  FreshEngine();
  PrepareFixedSearch(5);
  E.timeLimit = 0;
  E.searchStart = ClockMs() - 10;
  E.moveCount = 0;
  EXPECT_EQ(Search(-kInfinity, kInfinity, 5), -kInfinity);
  EXPECT_EQ(E.timeUp, 1);
  EXPECT_EQ(E.moveCount, 0) << "no move generated";
}

TEST(Search, SearchRestoresThePosition) {
  SetFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  const int key = E.positionKey;
  SearchTo(4);
  EXPECT_EQ(E.positionKey, key);
  EXPECT_EQ(E.ply, 1);
  EXPECT_EQ(E.extensionCount, 0);
  EXPECT_STREQ(PositionSelfCheck(), "");
}

TEST(Search, LinesStopBeforeTheEndOfThePerPlyTablesAndTheMoveStack) {
  // A long game record and a line that starts near the last ply: the search
  // stops the line instead of running off the tables.
  SetFen("8/8/4k3/8/8/4K3/4P3/8 w - - 0 1");
  PrepareFixedSearch(30);
  E.gameMoveNumber = kMaxGameMoves;
  E.keyHistory[kMaxGameMoves] = E.positionKey;
  E.gameEndMove = 1;
  const int start = kSearchPlyLimit - 6;
  E.ply = start;
  E.moveListEnd[start - 1] = 0;
  E.moveCount = 0;
  Search(-kInfinity, kInfinity, 30);
  EXPECT_EQ(E.ply, start);
  EXPECT_STREQ(PositionSelfCheck(), "");
  // A move stack filled almost to its end: no node generates past the guard.
  E.ply = 1;
  E.moveCount = kMoveStackGuard + 1;
  E.moveListEnd[0] = kMoveStackGuard + 1;
  const int64_t nodesBefore = E.nodes;
  Search(-kInfinity, kInfinity, 5);
  EXPECT_EQ(E.nodes, nodesBefore + 1);
  EXPECT_EQ(E.moveCount, kMoveStackGuard + 1);
  E.moveListEnd[0] = 0;
  E.gameMoveNumber = 0;
}

TEST(Search, SameSearchTwiceGivesTheSameNodes) {
  SetFen("r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 9");
  SearchTo(5);
  const int64_t nodes = E.nodes, qnodes = E.qnodes;
  const std::string best = BestMove();
  SetFen("r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 9");
  SearchTo(5);
  EXPECT_EQ(E.nodes, nodes);
  EXPECT_EQ(E.qnodes, qnodes);
  EXPECT_EQ(BestMove(), best);
}

TEST(Search, WinsMaterialWhenOffered) {
  // A hanging queen.
  SetFen("4k3/8/8/3q4/8/8/3R4/4K3 w - - 0 1");
  SearchTo(3);
  EXPECT_EQ(BestMove(), "d2d5");
}

TEST(Quiesce, StandsPatWithinTheWindow) {
  FreshEngine();
  E.ply = 1;
  E.moveCount = 0;
  E.incrementalScore = 50;
  EXPECT_EQ(Quiesce(-100, 100), 50);
  EXPECT_EQ(Quiesce(60, 100), 60);
  EXPECT_EQ(Quiesce(-100, 40), 40);
}

TEST(Quiesce, DeltaTestSkipsSmallCaptures) {
  // White can take a pawn; with alpha at least stand pat + 100 it is skipped.
  SetFen("4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1");
  E.moveCount = 0;
  E.incrementalScore = 0;
  E.qnodes = 0;
  EXPECT_EQ(Quiesce(100, 200), 100);
  EXPECT_EQ(E.qnodes, 1) << "the capture was not searched";
  E.qnodes = 0;
  EXPECT_EQ(Quiesce(-50, 200), 100);
  EXPECT_EQ(E.qnodes, 2);
}

TEST(Quiesce, KingCaptureAndTimeUp) {
  SetFen("4k3/8/8/8/8/8/4R3/4K3 b - - 0 1");
  E.sideToMove = 0;
  PositionReset();
  E.moveCount = 0;
  EXPECT_EQ(Quiesce(-100, 100), kInfinity - 1);
  E.timeUp = 1;
  EXPECT_EQ(Quiesce(-100, 100), 0);
  E.timeUp = 0;
}

TEST(Ordering, PickBestPrefersEarliestAmongEquals) {
  FreshEngine();
  E.ply = 1;
  E.moveListEnd[0] = 0;
  E.moveListEnd[1] = 4;
  const int scores[5] = {0, 5, 9, 9, 1};
  for (int i = 1; i <= 4; i++) E.moveScore[i] = scores[i];
  EXPECT_EQ(PickBestMove(), 2);
  EXPECT_EQ(PickBestMove(), 3);
  EXPECT_EQ(PickBestMove(), 1);
  EXPECT_EQ(PickBestMove(), 4);
  EXPECT_EQ(PickBestMove(), 0);
}

// The search takes its moves through NextMove, which must give exactly the
// order of repeated PickBestMove calls, ties included, for any number of
// moves and at any ply.
TEST(Ordering, NextMoveGivesThePickOrder) {
  FreshEngine();
  SeedRandom(11);
  for (int trial = 0; trial < 200; trial++) {
    const int n = trial % 61, first = 1 + trial % 7;
    E.ply = 2 + trial % 3;
    E.moveListEnd[E.ply - 1] = first - 1;
    E.moveListEnd[E.ply] = first - 1 + n;
    std::vector<int> scores(n);
    for (int& v : scores) v = trial % 2 ? RandomInt(0, 4) : RandomInt(-20000, 100000);
    for (int k = 0; k < n; k++) E.moveScore[first + k] = scores[k];
    std::vector<int> picked;
    for (int k = 0; k < n; k++) picked.push_back(PickBestMove());
    for (int k = 0; k < n; k++) E.moveScore[first + k] = scores[k];
    int taken = 0;
    for (int k = 0; k < n; k++) {
      ASSERT_EQ(NextMove(taken), picked[k]) << "trial " << trial << " move " << k;
      // Once sorted, the moves to come are known in advance.
      if (k < 2) {
        EXPECT_EQ(UpcomingMove(taken, 1), 0);
      }
      for (int a = 0; k >= 2 && k + a < n; a++) {
        ASSERT_EQ(UpcomingMove(taken, a), picked[k + a]) << "trial " << trial << " move " << k << " ahead " << a;
      }
    }
    EXPECT_EQ(PickBestMove(), 0) << "every move is marked as tried";
  }
}

TEST(Ordering, MarkPvMoveFollowsTheOldLine) {
  FreshEngine();
  E.ply = 1;
  E.moveCount = 0;
  GenerateMoves();
  E.moveListEnd[1] = E.moveCount;
  E.pvFrom[1][1] = 36;
  E.pvTo[1][1] = 56;
  MarkPvMove();
  EXPECT_EQ(E.followPv, 1);
  EXPECT_EQ(E.moveFrom[PickBestMove()], 36);
  E.pvFrom[1][1] = 36;
  E.pvTo[1][1] = 66;  // not a move here
  MarkPvMove();
  EXPECT_EQ(E.followPv, 0);
}

TEST(TranspositionTable, IndexUsesTheAbsoluteTruncatingRemainder) {
  EXPECT_EQ(TtIndex(10000123), 123);
  EXPECT_EQ(TtIndex(-10000123), 123);
  EXPECT_EQ(TtIndex(30000000), 0);
  EXPECT_EQ(TtIndex(-2147483647), 7483647);
}

TEST(TranspositionTable, BoundsDepthAndMateShifting) {
  FreshEngine();
  TtClear();
  E.positionKey = 4242;
  E.ply = 3;
  int score = 0;
  TtStore(-100, 100, 2, 40);  // exact
  EXPECT_TRUE(TtProbe(500, 600, 2, score));
  EXPECT_EQ(score, 40);
  EXPECT_FALSE(TtProbe(-100, 100, 3, score)) << "stored too shallow";
  TtStore(40, 100, 3, 40);  // an upper bound of 40
  EXPECT_TRUE(TtProbe(40, 100, 3, score));
  EXPECT_FALSE(TtProbe(39, 100, 3, score));
  TtStore(-100, 100, 2, 77);  // shallower: not stored
  EXPECT_TRUE(TtProbe(40, 100, 3, score));
  EXPECT_EQ(score, 40);
  // Mate scores are kept relative to the storing ply.
  TtClear();
  E.ply = 3;
  TtStore(-kInfinity, kInfinity, 4, 29990);
  EXPECT_EQ(StoredScore(4242), 29993);
  E.ply = 5;
  EXPECT_TRUE(TtProbe(-kInfinity, kInfinity, 4, score));
  EXPECT_EQ(score, 29988);
  TtClear();
  E.ply = 3;
  TtStore(-kInfinity, kInfinity, 4, -29990);
  EXPECT_EQ(StoredScore(4242), -29993);
  E.ply = 5;
  EXPECT_TRUE(TtProbe(-kInfinity, kInfinity, 4, score));
  EXPECT_EQ(score, -29988);
  // Emptying clears only the depths.
  TtClear();
  int key = 0, depth = 0, bound = 0, stored = 0;
  TtReadEntry(TtIndex(4242), key, depth, bound, stored);
  EXPECT_EQ(depth, 0);
  EXPECT_EQ(key, 4242);
  EXPECT_EQ(stored, -29993);
  EXPECT_FALSE(TtProbe(-kInfinity, kInfinity, 1, score));
}

// However many turns go by, an emptied entry never hits again, and however
// deep it was, the next store of any depth replaces it.
TEST(TranspositionTable, AnEmptiedEntryStaysEmptyInEveryLaterTurn) {
  FreshEngine();
  TtClear();
  E.positionKey = 99;
  E.ply = 1;
  TtStore(-100, 100, 9, 5);
  int score = 0;
  for (int turn = 1; turn <= 130; turn++) {
    TtClear();
    ASSERT_FALSE(TtProbe(-kInfinity, kInfinity, 1, score)) << "turn " << turn;
  }
  TtStore(-100, 100, 1, 6);
  EXPECT_TRUE(TtProbe(-kInfinity, kInfinity, 1, score));
  EXPECT_EQ(score, 6);
}

// The warm-up (on the helper thread, then the waiting call) leaves every page
// of the table resident and what the table held unchanged.
TEST(TranspositionTable, WarmUpMakesEveryPageResidentAndKeepsTheEntries) {
  FreshEngine();
  TtClear();
  E.positionKey = -777;
  E.ply = 1;
  TtStore(-100, 100, 5, 77);
  StartTableWarmUp();
  WarmUpTable();
  const size_t bytes = kTtEntries * sizeof(TtEntry);
  EXPECT_EQ(ResidentPages(E.ttTable, bytes), Pages(bytes));
  int score = 0;
  EXPECT_TRUE(TtProbe(-100, 100, 5, score));
  EXPECT_EQ(score, 77);
}

TEST(TranspositionTable, UnusedWhileSwitchedOff) {
  SetFen("r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 9");
  PrepareFixedSearch(3);
  E.useHashTable = 0;
  E.moveCount = 0;
  Search(-kInfinity, kInfinity, 3);
  E.useHashTable = 1;
  int filled = 0;
  for (int i = 0; i < kTtIndexRange; i += 997) {
    int key = 0, depth = 0, bound = 0, score = 0;
    TtReadEntry(i, key, depth, bound, score);
    filled += depth != 0;
  }
  EXPECT_EQ(filled, 0);
}

}  // namespace
