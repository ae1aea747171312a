// The score does not depend on colour: a position turned upside down with the
// colours exchanged (and everything that belongs to a colour exchanged with
// it) gets the same score, with the two accumulators swapped. Positions come
// from random games played from the start.
#include <cstdlib>

#include "../random_game.h"
#include "eval_test_util.h"
#include "game.h"
#include "moves.h"

namespace {

int MirrorSquare(int s) { return 10 * (11 - s / 10) + s % 10; }

int SwapColour(int code) {
  if (code >= kWhitePawn && code <= kWhiteKing) return code + 8;
  if (code >= kBlackPawn && code <= kBlackKing) return code - 8;
  return code;
}

int MirrorRights(int r) {
  return ((r & kBlackShort) ? kWhiteShort : 0) | ((r & kBlackLong) ? kWhiteLong : 0) |
         ((r & kWhiteShort) ? kBlackShort : 0) | ((r & kWhiteLong) ? kBlackLong : 0);
}

// Everything Evaluate reads, apart from the board-derived lists.
struct Setting {
  int board[121];
  int sideToMove, castleRights, savedRights, whiteCastled, blackCastled;
  int rootSide, rootFrom, previousTo;
};

// Installs a setting and rebuilds lists, king squares and material from the
// board, so that both colours' lists are in increasing square order.
void Install(const Setting& s) {
  for (int i = 0; i <= 120; i++) E.board[i] = s.board[i];
  E.sideToMove = s.sideToMove;
  E.castleRights = s.castleRights;
  E.savedCastleRights[1] = s.savedRights;
  E.whiteCastled = s.whiteCastled;
  E.blackCastled = s.blackCastled;
  E.rootSide = s.rootSide;
  E.plyFrom[1] = s.rootFrom;
  E.gameTo[E.gameMoveNumber - 1] = s.previousTo;
  PositionReset();
}

Setting Mirrored(const Setting& s) {
  Setting m = s;
  for (int i = 0; i <= 120; i++) m.board[i] = s.board[i];
  for (int sq = 22; sq <= 99; sq++)
    if (IsPlayingSquare(sq)) m.board[MirrorSquare(sq)] = SwapColour(s.board[sq]);
  m.sideToMove = 1 - s.sideToMove;
  m.castleRights = MirrorRights(s.castleRights);
  m.savedRights = MirrorRights(s.savedRights);
  m.whiteCastled = s.blackCastled;
  m.blackCastled = s.whiteCastled;
  m.rootSide = 1 - s.rootSide;
  m.rootFrom = s.rootFrom == 0 ? 0 : MirrorSquare(s.rootFrom);
  m.previousTo = MirrorSquare(s.previousTo);
  return m;
}

// The visiting order of rooks decides the rook-pair bonus. After the lists
// are rebuilt both colours are listed by increasing square, which for the
// mirrored colour reverses the order of the ranks but not of the files within
// a rank; with two rooks of a colour the bonus does not depend on the order,
// with three or more it can. Such positions are left out.
bool RookOrderMatters(const Setting& s) {
  int white = 0, black = 0;
  for (int sq = 22; sq <= 99; sq++) {
    white += s.board[sq] == kWhiteRook;
    black += s.board[sq] == kBlackRook;
  }
  return white > 2 || black > 2;
}

int RingValue(int king, int s) {
  const int df = std::abs(s % 10 - king % 10), dr = std::abs(s / 10 - king / 10);
  const int d = df > dr ? df : dr;
  return d == 1 ? 20 : d == 2 ? 10 : 0;
}

bool ZonesMatchKings() {
  for (int s = 22; s <= 99; s++) {
    if (!IsPlayingSquare(s)) continue;
    if (E.whiteKingZone[s] != RingValue(E.whiteKingSquare, s)) return false;
    if (E.blackKingZone[s] != RingValue(E.blackKingSquare, s)) return false;
  }
  return true;
}


TEST(EvalMirror, ColourMirroredPositionsScoreTheSame) {
  FreshEvalEngine();
  int checked = 0, skipped = 0, lowMaterial = 0, passedSeen = 0, sameMoveTerm = 0;
  int rightsLost = 0, castled = 0;
  for (int game = 0; game < 60; game++) {
    ResetGame();
    E.gameFrom[1] = -1;
    int previousRights = E.castleRights;
    for (int half = 0; half < 160; half++) {
      const int rightsBefore = E.castleRights;
      if (!PlayRandomMove()) break;
      if (E.gameMoveNumber < 2) continue;

      Setting s;
      for (int i = 0; i <= 120; i++) s.board[i] = E.board[i];
      s.sideToMove = E.sideToMove;
      s.castleRights = E.castleRights;
      // Let the rights at the root be those of a move or two earlier, so
      // that rights lost on the line are scored.
      s.savedRights = (half % 2) ? rightsBefore : previousRights;
      previousRights = rightsBefore;
      s.whiteCastled = E.whiteCastled;
      s.blackCastled = E.blackCastled;
      s.rootSide = RandomInt(0, 1);
      // Now and then the root move starts where the previous move ended.
      const int previousTo = E.gameTo[E.gameMoveNumber - 1];
      s.previousTo = previousTo;
      s.rootFrom = RandomInt(0, 2) == 0 ? previousTo : 0;
      if (RookOrderMatters(s)) {
        skipped++;
        continue;
      }

      Install(s);
      const int score = Evaluate();
      const int white = evalWhiteTotal, black = evalBlackTotal;
      ASSERT_TRUE(ZonesMatchKings()) << "game " << game << " half-move " << half;
      if (E.whiteMaterial < 1500 || E.blackMaterial < 1500) lowMaterial++;
      for (int f = 2; f <= 9; f++) passedSeen += E.whitePassedOnFile[f] + E.blackPassedOnFile[f];
      if (E.gameMoveNumber > 2 && s.rootFrom == previousTo) sameMoveTerm++;
      if ((s.savedRights & ~s.castleRights) != 0) rightsLost++;
      castled += s.whiteCastled + s.blackCastled;

      Install(Mirrored(s));
      ASSERT_EQ(Evaluate(), score) << "game " << game << " half-move " << half;
      ASSERT_EQ(evalWhiteTotal, black) << "game " << game << " half-move " << half;
      ASSERT_EQ(evalBlackTotal, white) << "game " << game << " half-move " << half;
      ASSERT_TRUE(ZonesMatchKings());

      Install(s);  // put the game back
      E.gameTo[E.gameMoveNumber - 1] = previousTo;
      checked++;
    }
  }
  // The sample must reach the parts of the evaluation it is meant to test.
  EXPECT_GT(checked, 3000);
  EXPECT_LT(skipped, checked / 20);
  EXPECT_GT(lowMaterial, 100);
  EXPECT_GT(passedSeen, 100);
  EXPECT_GT(sameMoveTerm, 100);
  EXPECT_GT(rightsLost, 20);
  EXPECT_GT(castled, 0);
}

}  // namespace
