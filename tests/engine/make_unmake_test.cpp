// MakeMove/UnmakeMove and MakeCapture/UnmakeCapture restore the position
// exactly, and the incremental key matches a key computed from scratch.
#include <cstring>
#include <vector>

#include "engine_test_util.h"
#include "game.h"
#include "moves.h"

namespace {

// The fields a make/unmake pair must give back, compared as a whole.
struct Snapshot {
  int board[121];
  int sideToMove, castleRights, whiteKingSquare, blackKingSquare;
  int whitePieces[17], blackPieces[17], whitePieceCount, blackPieceCount;
  int occupiedIndex[121];
  int whiteMaterial, blackMaterial, whitePawnCount, blackPawnCount;
  int whiteCastled, blackCastled, incrementalScore, positionKey, ply;
  int keyHistoryPrefix[kKeyHistorySlots];
  int keyHistoryLength;

  bool operator==(const Snapshot& o) const { return std::memcmp(this, &o, sizeof(*this)) == 0; }
};

Snapshot Take() {
  Snapshot s;
  std::memset(&s, 0, sizeof(s));
  std::memcpy(s.board, E.board, sizeof(s.board));
  s.sideToMove = E.sideToMove;
  s.castleRights = E.castleRights;
  s.whiteKingSquare = E.whiteKingSquare;
  s.blackKingSquare = E.blackKingSquare;
  std::memcpy(s.whitePieces, E.whitePieces, sizeof(s.whitePieces));
  std::memcpy(s.blackPieces, E.blackPieces, sizeof(s.blackPieces));
  s.whitePieceCount = E.whitePieceCount;
  s.blackPieceCount = E.blackPieceCount;
  for (int sq = 22; sq <= 99; sq++)  // entries of empty squares are stale by design
    if (E.board[sq] != kEmpty && E.board[sq] != kOffBoard) s.occupiedIndex[sq] = E.pieceIndex[sq];
  s.whiteMaterial = E.whiteMaterial;
  s.blackMaterial = E.blackMaterial;
  s.whitePawnCount = E.whitePawnCount;
  s.blackPawnCount = E.blackPawnCount;
  s.whiteCastled = E.whiteCastled;
  s.blackCastled = E.blackCastled;
  s.incrementalScore = E.incrementalScore;
  s.positionKey = E.positionKey;
  s.ply = E.ply;
  s.keyHistoryLength = E.gameMoveNumber + E.ply;
  std::memcpy(s.keyHistoryPrefix, E.keyHistory, sizeof(int) * s.keyHistoryLength);
  return s;
}

// Plays random legal games; at every position every generated move (legal or
// not) is made and unmade, every capture is made and unmade with the reduced
// pair, and the key is compared with one computed from scratch.
TEST(MakeUnmake, RestoresEveryFieldOverRandomGames) {
  FreshEngine(7);
  int checkedMoves = 0;
  for (int game = 0; game < 40; game++) {
    FreshEngine(100 + game);
    int keyCorrection = 0;  // en passant captures use epCaptureKeys instead
    for (int move = 0; move < 160; move++) {
      E.ply = 1;
      E.moveCount = 0;
      E.kingCaptured = 0;
      GenerateMoves();
      E.moveListEnd[1] = E.moveCount;
      ASSERT_STREQ(PositionSelfCheck(), "");
      ASSERT_EQ(E.positionKey, KeyFromScratch() ^ keyCorrection);
      const Snapshot before = Take();
      std::vector<int> legal;
      for (int i = 1; i <= E.moveListEnd[1]; i++) {
        const int from = E.moveFrom[i], to = E.moveTo[i];
        MakeMove(from, to);
        ASSERT_STREQ(PositionSelfCheck(), "") << SquareName(from) << SquareName(to);
        if (!InCheck(1 - E.sideToMove)) legal.push_back(i);
        UnmakeMove(from, to);
        ASSERT_EQ(E.moveCount, E.moveListEnd[1]);
        ASSERT_TRUE(Take() == before) << "after " << SquareName(from) << SquareName(to);
        checkedMoves++;
      }
      // The reduced pair over the quiescence captures.
      E.moveCount = E.moveListEnd[1];
      GenerateCaptures();
      const int capEnd = E.moveCount;
      for (int i = E.moveListEnd[1] + 1; i <= capEnd; i++) {
        const int from = E.moveFrom[i], to = E.moveTo[i];
        E.moveListEnd[1] = capEnd;
        MakeCapture(from, to);
        UnmakeCapture(from, to);
        ASSERT_EQ(E.moveCount, capEnd);
        ASSERT_TRUE(Take() == before) << "capture " << SquareName(from) << SquareName(to);
      }
      if (legal.empty()) break;
      // Play a random legal move as a game move.
      const int pick = legal[static_cast<size_t>(RandomInt(0, static_cast<int>(legal.size()) - 1))];
      E.moveListEnd[1] = E.moveCount = 0;
      const int from = E.moveFrom[pick], to = E.moveTo[pick];
      const bool enPassant = (E.board[from] == kWhitePawn || E.board[from] == kBlackPawn) &&
                             (to - from) % 10 != 0 && E.board[to] == kEmpty;
      if (enPassant) {
        const int e = E.board[from] == kWhitePawn ? to - 10 : to + 10;
        keyCorrection ^= E.zobristKeys[e][E.board[e]] ^ E.epCaptureKeys[e];
      }
      if (E.gameMoveNumber >= kMaxGameMoves - 1) break;
      ASSERT_TRUE(PlayGameMove(from, to));
      PositionReset();
    }
  }
  EXPECT_GT(checkedMoves, 50000);
}

TEST(MakeUnmake, CastlingMovesTheRookAndClearsRights) {
  SetFen("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1");
  MakeMove(26, 28);  // e1g1
  EXPECT_EQ(E.board[27], kWhiteRook);
  EXPECT_EQ(E.board[29], kEmpty);
  EXPECT_EQ(E.whiteCastled, 1);
  EXPECT_EQ(E.castleRights, 3);
  EXPECT_STREQ(PositionSelfCheck(), "");
  MakeMove(96, 94);  // e8c8
  EXPECT_EQ(E.board[95], kBlackRook);
  EXPECT_EQ(E.board[92], kEmpty);
  EXPECT_EQ(E.castleRights, 0);
  EXPECT_EQ(E.positionKey, KeyFromScratch());
  UnmakeMove(96, 94);
  UnmakeMove(26, 28);
  EXPECT_EQ(E.castleRights, 15);
  EXPECT_EQ(E.board[29], kWhiteRook);
  EXPECT_EQ(E.board[92], kBlackRook);
  EXPECT_EQ(E.whiteCastled, 0);
  EXPECT_EQ(E.blackCastled, 0);
}

TEST(MakeUnmake, MovesOntoACornerClearThatRight) {
  SetFen("r3k2r/1pppppp1/8/8/8/8/1PPPPPP1/R3K2R w KQkq - 0 1");
  MakeMove(29, 99);  // Rh1xh8 clears White's short right (rook left) and Black's short right
  EXPECT_EQ(E.castleRights, kWhiteLong | kBlackLong);
  UnmakeMove(29, 99);
  MakeMove(22, 92);  // Ra1xa8
  EXPECT_EQ(E.castleRights, kWhiteShort | kBlackShort);
}

TEST(MakeUnmake, EnPassantUsesTheCaptureKeyAndKeepsMaterial) {
  SetFen("4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1");
  MakeMove(85, 65);  // d7d5
  EXPECT_EQ(E.epSquare[1], 65);
  const int material = E.blackMaterial;
  const int keyBefore = E.positionKey;
  E.incrementalScore = 0;
  MakeMove(66, 75);  // e5xd6 en passant
  EXPECT_EQ(E.board[65], kEmpty);
  EXPECT_EQ(E.incrementalScore, 100);
  EXPECT_EQ(E.blackMaterial, material);
  EXPECT_EQ(E.capturedPiece[2], kEmpty);
  EXPECT_EQ(E.positionKey, keyBefore ^ E.zobristKeys[66][1] ^ E.zobristKeys[75][1] ^ E.sideKey ^
                               E.epCaptureKeys[65]);
  UnmakeMove(66, 75);
  EXPECT_EQ(E.board[65], kBlackPawn);
  EXPECT_EQ(E.incrementalScore, 0);
  EXPECT_STREQ(PositionSelfCheck(), "");
}

TEST(MakeUnmake, PromotionByCaptureMakesAQueen) {
  SetFen("1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1");
  E.incrementalScore = 0;
  MakeMove(82, 93);  // a7xb8
  EXPECT_EQ(E.board[93], kWhiteQueen);
  EXPECT_EQ(E.incrementalScore, 500 + 800);
  EXPECT_EQ(E.promotedPiece[1], kWhiteQueen);
  EXPECT_EQ(E.positionKey, KeyFromScratch());
  UnmakeMove(82, 93);
  EXPECT_EQ(E.board[82], kWhitePawn);
  EXPECT_EQ(E.board[93], kBlackRook);
  EXPECT_EQ(E.incrementalScore, 0);
}

TEST(MakeUnmake, ReducedCaptureTurnsTheScoreOver) {
  SetFen("4k3/8/8/3r4/8/8/3R4/4K3 w - - 0 1");
  E.incrementalScore = 0;
  E.moveListEnd[1] = 0;
  MakeCapture(35, 65);
  EXPECT_EQ(E.incrementalScore, -500);
  EXPECT_EQ(E.sideToMove, 1);
  UnmakeCapture(35, 65);
  EXPECT_EQ(E.incrementalScore, 0);
  EXPECT_EQ(E.board[65], kBlackRook);
  EXPECT_STREQ(PositionSelfCheck(), "");
}

}  // namespace
