// The terms of the positional score, checked on small positions whose score
// is worked out by hand, or by the difference between two positions that
// differ only in the term under test.
#include <string>

#include "eval_test_util.h"
#include "game.h"
#include "moves.h"

namespace {

class EvalTerms : public testing::Test {
 protected:
  void SetUp() override { FreshEvalEngine(); }
};

// Black to move; Black has two queens (c8, d8) and king h8, White two queens
// (f1, g1) and king h1. Pawns and pieces added on files a..e change nothing
// else of White's score.
const std::string kQueensBase = "2qq3k/8/8/8/8/8/8/5QQK b - - 0 1";

// The same with White's king alone on h1.
const std::string kRookBase = "2qq3k/8/8/8/8/8/8/7K b - - 0 1";

// W of a position minus W of the base position.
int WhiteGain(const std::string& fen, const std::string& base) {
  return WhiteTotal(fen) - WhiteTotal(base);
}

TEST_F(EvalTerms, StartPositionIsZeroWithEitherSideToMove) {
  AsSearchRoot();
  EXPECT_EQ(Evaluate(), 0);
  // Each side: four minor pieces on the back rank (-40), king +80 (-10 for
  // holding its rights, +90 for three shelter pawns).
  EXPECT_EQ(evalWhiteTotal, 40);
  EXPECT_EQ(evalBlackTotal, 40);
  SetRoot("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
  EXPECT_EQ(Evaluate(), 0);
  EXPECT_EQ(evalWhiteTotal, 40);
  EXPECT_EQ(evalBlackTotal, 40);
}

TEST_F(EvalTerms, AfterKingsPawnOpeningBlackToMove) {
  std::string error;
  ASSERT_TRUE(PlayMoveText("e2e4", error)) << error;
  E.ply = 1;
  AsSearchRoot();
  ASSERT_EQ(E.sideToMove, 1);
  EXPECT_EQ(Evaluate(), 12);  // W - B with Black to move
  EXPECT_EQ(evalWhiteTotal, 52);
  EXPECT_EQ(evalBlackTotal, 40);
  // The same position seen with White to move is scored for Black.
  E.sideToMove = 0;
  EXPECT_EQ(Evaluate(), -12);
}

TEST_F(EvalTerms, KingAndPawnAgainstKing) {
  SetRoot("8/4k3/8/4P3/4K3/8/8/8 b - - 0 1");
  EXPECT_EQ(Evaluate(), 143);
  EXPECT_EQ(evalWhiteTotal, 136);
  EXPECT_EQ(evalBlackTotal, -7);
}

// A passed pawn on e6 against a pawn on its starting square, all else equal.
TEST_F(EvalTerms, PassedPawnAdvancement) {
  // Both sides with plenty of material: 6 x 4 x 3.
  EXPECT_EQ(WhiteTotal("kqq5/8/4P3/8/7K/8/8/5QQ1 b - - 0 1"), 62);
  EXPECT_EQ(WhiteGain("kqq5/8/4P3/8/7K/8/8/5QQ1 b - - 0 1", "kqq5/8/8/8/7K/8/4P3/5QQ1 b - - 0 1"),
            72);
  // Black below 1500: factor doubled, weight 4 on every file: 12 x 4 x 4.
  // The White king on h4 stands as far from e6 as from e2, so its ending
  // terms do not change.
  EXPECT_EQ(WhiteTotal("k7/8/4P3/8/7K/8/8/5QQ1 b - - 0 1"), 207);
  EXPECT_EQ(WhiteGain("k7/8/4P3/8/7K/8/8/5QQ1 b - - 0 1", "k7/8/8/8/7K/8/4P3/5QQ1 b - - 0 1"),
            192);
}

// A piece on the square in front of a passed pawn: an own piece leaves the
// factor at 6, an enemy piece lowers it to 4. The knights on b3 and e7 earn
// nothing themselves.
TEST_F(EvalTerms, PieceInFrontOfPassedPawn) {
  EXPECT_EQ(WhiteTotal("7k/8/q3P3/q7/8/1N6/8/5QQK b - - 0 1"), 92);
  EXPECT_EQ(WhiteTotal("7k/4N3/q3P3/q7/8/8/8/5QQK b - - 0 1"), 92);
  EXPECT_EQ(WhiteTotal("7k/8/q3P3/q7/8/1n6/8/5QQK b - - 0 1"), 92);
  EXPECT_EQ(WhiteTotal("7k/4n3/q3P3/q7/8/8/8/5QQK b - - 0 1"), 68);  // 4 x 4 x 3 = 48
  // A Black pawn blocked by a White piece, seen from Black's side.
  const std::string free = "kqq5/8/8/8/8/3p4/8/KQQ1N3 w - - 0 1";
  EXPECT_EQ(BlackTotal("kqq5/8/8/8/8/3pN3/8/KQQ5 w - - 0 1") - BlackTotal(free),
            0);  // e3 is not in front of d3
  EXPECT_EQ(BlackTotal("kqq5/8/8/8/8/3p4/3N4/KQQ5 w - - 0 1") - BlackTotal(free),
            -4 * 2 * 3);  // d3 pawn, advancement 4, weight 3: factor 6 -> 4
}

TEST_F(EvalTerms, LowMaterialThresholdIs1500) {
  AsSearchRoot();
  E.whiteMaterial = 1500;
  Evaluate();
  EXPECT_EQ(evalBlackTotal, 40);
  EXPECT_EQ(evalWhiteTotal, 40);
  // Below 1500: Black gains the mop-up term (-12 with the White king on e1)
  // and its king switches to the ending terms (6 + 56 + 16 instead of 80).
  E.whiteMaterial = 1499;
  Evaluate();
  EXPECT_EQ(evalBlackTotal, 26);
  EXPECT_EQ(evalWhiteTotal, 40);
  // And the mirror for Black's material.
  E.whiteMaterial = 4000;
  E.blackMaterial = 1499;
  Evaluate();
  EXPECT_EQ(evalWhiteTotal, 26);
  EXPECT_EQ(evalBlackTotal, 40);
}

// Two pawns on a file cost 10, three or more 40, wherever they stand; the
// most advanced pawn (b5 for White, b4 for Black) keeps its term.
TEST_F(EvalTerms, DoubledPawns) {
  const int one = WhiteGain("2qq3k/8/8/1P6/8/8/8/5QQK b - - 0 1", kQueensBase);
  EXPECT_EQ(one, -20 + 18);  // isolated, passed: 6 x 3 x 1
  EXPECT_EQ(WhiteGain("2qq3k/8/8/1P6/1P6/8/8/5QQK b - - 0 1", kQueensBase) - one, -10);
  EXPECT_EQ(WhiteGain("2qq3k/8/8/1P6/8/1P6/8/5QQK b - - 0 1", kQueensBase) - one, -10);
  EXPECT_EQ(WhiteGain("2qq3k/8/8/1P6/1P6/1P6/8/5QQK b - - 0 1", kQueensBase) - one, -40);
  EXPECT_EQ(WhiteGain("2qq3k/8/8/1P6/1P6/1P6/1P6/5QQK b - - 0 1", kQueensBase) - one, -40);

  const std::string blackBase = "5qqk/8/8/8/8/8/8/2QQ3K w - - 0 1";
  const int blackOne = BlackTotal("5qqk/8/8/8/1p6/8/8/2QQ3K w - - 0 1") - BlackTotal(blackBase);
  EXPECT_EQ(blackOne, -20 + 18);
  EXPECT_EQ(BlackTotal("5qqk/8/1p6/1p6/1p6/8/8/2QQ3K w - - 0 1") - BlackTotal(blackBase) - blackOne,
            -40);
  EXPECT_EQ(BlackTotal("5qqk/8/1p6/8/1p6/8/8/2QQ3K w - - 0 1") - BlackTotal(blackBase) - blackOne,
            -10);
}

TEST_F(EvalTerms, IsolatedAndBackwardPawns) {
  // The file beyond the board edge is always empty.
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/P7/8/8/5QQK b - - 0 1", kQueensBase), -20 + 12);
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/7P/8/8/5QQK b - - 0 1", kQueensBase), -20 + 12);
  // a4 defended by b3 (factor 8), b3 passed: neither isolated.
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/P7/1P6/8/5QQK b - - 0 1", kQueensBase), 16 + 6);
  // b3 with its neighbours two ranks ahead is backward.
  EXPECT_EQ(WhiteGain("2qq3k/8/8/P1P5/8/1P6/8/5QQK b - - 0 1", kQueensBase), 18 + 6 - 10 + 36);
  // One rank ahead is not backward (and b3 defends both).
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/P1P5/1P6/8/5QQK b - - 0 1", kQueensBase), 16 + 6 + 32);
}

TEST_F(EvalTerms, PassedPawnTest) {
  // A Black pawn on the file ahead stops it; one level on a neighbouring file
  // does not; one ahead on a neighbouring file does.
  SetRoot("2qq3k/8/3p4/8/3P4/8/8/5QQK b - - 0 1");
  Evaluate();
  EXPECT_EQ(E.whitePassedOnFile[5], 0);
  SetRoot("2qq3k/8/8/8/2pP4/8/8/5QQK b - - 0 1");
  Evaluate();
  EXPECT_EQ(E.whitePassedOnFile[5], 1);
  EXPECT_EQ(E.blackPassedOnFile[4], 1);
  SetRoot("2qq3k/8/8/4p3/3P4/8/8/5QQK b - - 0 1");
  Evaluate();
  EXPECT_EQ(E.whitePassedOnFile[5], 0);
  EXPECT_EQ(E.blackPassedOnFile[6], 0);
  // A pawn behind it on a neighbouring file does not stop it.
  SetRoot("2qq3k/8/8/8/3P4/4p3/8/5QQK b - - 0 1");
  Evaluate();
  EXPECT_EQ(E.whitePassedOnFile[5], 1);
  // A passed pawn on its starting rank earns no advancement but marks its
  // file: a rook on that file gains 10.
  SetRoot("2qq3k/8/8/8/8/8/P7/R6K b - - 0 1");
  Evaluate();
  EXPECT_EQ(E.whitePassedOnFile[2], 1);
  EXPECT_EQ(evalWhiteTotal, -20 + 10);  // isolated, rook on a passed file
}

TEST_F(EvalTerms, BlockedCentrePawns) {
  EXPECT_EQ(WhiteTotal("2qq3k/8/8/8/8/3N4/3P4/7K b - - 0 1") -
                WhiteTotal("2qq3k/8/8/8/8/2N5/3P4/7K b - - 0 1"),
            -10);
  EXPECT_EQ(BlackTotal("k7/4p3/4n3/8/8/8/8/K2QQ3 w - - 0 1") -
                BlackTotal("k7/4p3/5n2/8/8/8/8/K2QQ3 w - - 0 1"),
            -10);
  // Any piece counts, of either colour.
  EXPECT_EQ(BlackTotal("k7/4p3/4N3/8/8/8/8/K2QQ3 w - - 0 1") -
                BlackTotal("k7/4p3/5N2/8/8/8/8/K2QQ3 w - - 0 1"),
            -10);
}

TEST_F(EvalTerms, RooksAndQueens) {
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/8/1R6/8/R6K b - - 0 1", kRookBase), 40);
  // Same file: +10 once, for the second rook.
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/8/R7/8/R6K b - - 0 1", kRookBase), 50);
  EXPECT_EQ(WhiteGain("2qq3k/8/8/R7/8/R7/8/R6K b - - 0 1", kRookBase), 80);
  // A third rook compares only with the rook visited just before it.
  EXPECT_EQ(WhiteGain("2qq3k/8/8/R7/8/1R6/8/R6K b - - 0 1", kRookBase), 60);
  // A queen between them is not a rook.
  EXPECT_EQ(WhiteGain("2qq3k/8/8/R7/8/Q7/8/R6K b - - 0 1", kRookBase), 70);
  // Seventh rank, with the Black king on the eighth.
  EXPECT_EQ(WhiteGain("2qq3k/R7/8/8/8/8/8/7K b - - 0 1", kRookBase), 40);
  EXPECT_EQ(WhiteGain("2qq3k/Q7/8/8/8/8/8/7K b - - 0 1", kRookBase), 40);
  // Half-open file: an own pawn on it removes both open-file bonuses.
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/P7/8/8/R4QQK b - - 0 1", kQueensBase), -8 + 10);
  EXPECT_EQ(WhiteGain("2qq3k/p7/8/8/8/8/8/R6K b - - 0 1", "2qq3k/p7/8/8/8/8/8/7K b - - 0 1"),
            10 + 10);  // enemy pawn only: +10, and +10 for Black's passed a-pawn
}

TEST_F(EvalTerms, KnightsAndBishops) {
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/3N4/8/8/7K b - - 0 1", kRookBase), 10);
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/N7/8/8/7K b - - 0 1", kRookBase), -10);
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/8/8/8/1N5K b - - 0 1", kRookBase), -10);
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/8/8/8/N6K b - - 0 1", kRookBase), -20);
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/8/5B2/8/7K b - - 0 1", kRookBase), 5);
  EXPECT_EQ(WhiteGain("2qq3k/8/8/8/8/8/8/2B4K b - - 0 1", kRookBase), -10);
}

TEST_F(EvalTerms, MiddleGameKingAndCastlingRights) {
  AsSearchRoot();
  // The h1 rook's right lost on the searched line: -30, the long right is
  // still held (-10) and the queen's-side shelter counts.
  E.castleRights = 15 & ~kWhiteShort;
  Evaluate();
  EXPECT_EQ(evalWhiteTotal, 40 - 30);
  EXPECT_EQ(evalBlackTotal, 40);
  // Both rights lost: -60, no shelter with the king on e1.
  E.castleRights = kBlackShort | kBlackLong;
  Evaluate();
  EXPECT_EQ(evalWhiteTotal, -40 - 60);
  // Once castled on the line the lost rights cost nothing.
  E.whiteCastled = 1;
  Evaluate();
  EXPECT_EQ(evalWhiteTotal, -40);
  // Rights that were already gone at the root are not counted as lost.
  E.whiteCastled = 0;
  E.savedCastleRights[1] = E.castleRights;
  Evaluate();
  EXPECT_EQ(evalWhiteTotal, -40);
  // A king on c1 takes the queen's-side shelter without the right (b2 +30,
  // d3 one rank forward +20). The d3 pawn is isolated (-20) and passed; its
  // factor is doubled by White's own low material: 12 x 1 x 3.
  EXPECT_EQ(WhiteTotal("5qqk/8/8/8/8/3P4/PP6/2K5 b - - 0 1"), 50 - 20 + 36);
  // Off the back rank: -30, and no shelter pawns.
  EXPECT_EQ(WhiteTotal("5qqk/8/8/8/8/8/2K5/8 b - - 0 1"), -30);
}

TEST_F(EvalTerms, SamePieceMovedTwice) {
  std::string error;
  for (const char* m : {"g1f3", "g8f6"}) ASSERT_TRUE(PlayMoveText(m, error)) << error;
  // Two half-moves played: the term is not applied yet.
  AsSearchRoot();
  E.rootSide = E.sideToMove;
  E.ply = 1;
  MakeMove(ParseSquare("f3"), ParseSquare("g5"));
  ASSERT_EQ(E.plyFrom[1], ParseSquare("f3"));
  const int whiteWith = (Evaluate(), evalWhiteTotal);
  E.plyFrom[1] = 0;
  EXPECT_EQ((Evaluate(), evalWhiteTotal), whiteWith);
  UnmakeMove(ParseSquare("f3"), ParseSquare("g5"));

  // After 2.Nc3 Black moves its f6 knight again.
  ASSERT_TRUE(PlayMoveText("b1c3", error)) << error;
  E.ply = 1;
  AsSearchRoot();
  E.rootSide = E.sideToMove;  // Black chooses the root move
  MakeMove(ParseSquare("f6"), ParseSquare("g4"));
  const int score = Evaluate();
  const int black = evalBlackTotal, white = evalWhiteTotal;
  E.plyFrom[1] = 0;
  EXPECT_EQ(Evaluate(), score + 20);  // White to move: B - W
  EXPECT_EQ(evalBlackTotal, black + 20);
  EXPECT_EQ(evalWhiteTotal, white);
  UnmakeMove(ParseSquare("f6"), ParseSquare("g4"));

  // After 2...Nc6 White moves its c3 knight again.
  ASSERT_TRUE(PlayMoveText("b8c6", error)) << error;
  E.ply = 1;
  AsSearchRoot();
  E.rootSide = E.sideToMove;
  MakeMove(ParseSquare("c3"), ParseSquare("e4"));
  Evaluate();
  const int whiteAgain = evalWhiteTotal;
  E.plyFrom[1] = 0;
  Evaluate();
  EXPECT_EQ(whiteAgain, evalWhiteTotal - 20);
}

// The expected value of a king-zone map entry for a king on `king`.
int RingValue(int king, int s) {
  const int df = std::abs(s % 10 - king % 10), dr = std::abs(s / 10 - king / 10);
  const int d = df > dr ? df : dr;
  return d == 1 ? 20 : d == 2 ? 10 : 0;
}

void ExpectZonesMatchKings() {
  for (int s = 22; s <= 99; s++) {
    if (!IsPlayingSquare(s)) continue;
    ASSERT_EQ(E.whiteKingZone[s], RingValue(E.whiteKingSquare, s)) << "white map at " << s;
    ASSERT_EQ(E.blackKingZone[s], RingValue(E.blackKingSquare, s)) << "black map at " << s;
  }
}

TEST_F(EvalTerms, KingZoneMapsFollowTheKings) {
  AsSearchRoot();
  Evaluate();
  ExpectZonesMatchKings();
  EXPECT_EQ(E.whiteKingZoneSquare, 26);
  EXPECT_EQ(E.blackKingZoneSquare, 96);

  // Both kings moved: both maps are rebuilt, and the score equals the one a
  // freshly built map gives.
  SetRoot("8/8/8/2nk4/8/8/1b6/K7 w - - 0 1");
  const int score = Evaluate();
  const int black = evalBlackTotal;
  ExpectZonesMatchKings();
  // Bishop b2 next to the White king +20, knight c5 +5, mop-up -6, the
  // Black king's ending terms +9.
  EXPECT_EQ(black, 28);
  EXPECT_EQ(evalWhiteTotal, -18 + 3);
  E.whiteKingZoneSquare = E.blackKingZoneSquare = 0;
  EXPECT_EQ(Evaluate(), score);

  // While a king stays put its map is kept as it is.
  E.whiteKingZone[ParseSquare("b2")] = 1000;
  Evaluate();
  EXPECT_EQ(evalBlackTotal, black - 20 + 1000);
  // Moving the king rebuilds it.
  SetRoot("8/8/8/2nk4/8/8/1b6/1K6 w - - 0 1");
  Evaluate();
  ExpectZonesMatchKings();
}

// A captured piece keeps its slot with square 0; a king on a1 or h8 writes a
// ring entry at index 0 or 121, which such a slot must not pick up.
TEST_F(EvalTerms, CapturedSlotContributesNothing) {
  struct Case {
    const char* fen;
    const char* from;
    const char* to;
    const int* capturerKingZone;  // the map a captured piece's slot would read
  } cases[] = {
      {"7K/8/8/8/3N4/8/8/k2q4 b - - 0 1", "d1", "d4", E.blackKingZone},
      {"7k/8/8/8/3n4/8/8/K2Q4 w - - 0 1", "d1", "d4", E.whiteKingZone},
  };
  for (const Case& c : cases) {
    SetRoot(c.fen);
    E.ply = 1;
    MakeMove(ParseSquare(c.from), ParseSquare(c.to));
    const int score = Evaluate();
    const int white = evalWhiteTotal, black = evalBlackTotal;
    EXPECT_EQ(c.capturerKingZone[0], 10) << c.fen;
    bool emptySlot = false;
    for (int i = 1; i <= E.whitePieceCount; i++) emptySlot |= E.whitePieces[i] == 0;
    for (int i = 1; i <= E.blackPieceCount; i++) emptySlot |= E.blackPieces[i] == 0;
    EXPECT_TRUE(emptySlot) << c.fen;
    // The same board with the lists rebuilt has no empty slot.
    PositionReset();
    EXPECT_EQ(Evaluate(), score) << c.fen;
    EXPECT_EQ(evalWhiteTotal, white) << c.fen;
    EXPECT_EQ(evalBlackTotal, black) << c.fen;
  }
}

}  // namespace
