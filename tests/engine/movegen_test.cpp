// Move generation order, ordering scores, castling, en passant and the
// king-capture protocol.
#include "engine_test_util.h"
#include "game.h"
#include "moves.h"

namespace {

std::string GenerateAll() {
  E.ply = 1;
  E.moveCount = 0;
  E.kingCaptured = 0;
  GenerateMoves();
  E.moveListEnd[1] = E.moveCount;
  return ListedMoves(1, E.moveCount);
}

bool Listed(const std::string& list, const std::string& move) {
  return (" " + list + " ").find(" " + move + " ") != std::string::npos;
}

int ScoreOf(int from, int to) {
  for (int i = 1; i <= E.moveCount; i++)
    if (E.moveFrom[i] == from && E.moveTo[i] == to) return E.moveScore[i];
  ADD_FAILURE() << "move not generated";
  return 0;
}

TEST(MoveGen, StartPositionOrderForBothSides) {
  FreshEngine();
  EXPECT_EQ(GenerateAll(),
            "b1a3 b1c3 g1f3 g1h3 a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 "
            "g2g3 g2g4 h2h3 h2h4");
  E.sideToMove = 1;
  PositionReset();
  EXPECT_EQ(GenerateAll(),
            "a7a6 a7a5 b7b6 b7b5 c7c6 c7c5 d7d6 d7d5 e7e6 e7e5 f7f6 f7f5 g7g6 g7g5 h7h6 h7h5 "
            "b8c6 b8a6 g8h6 g8f6");
}

TEST(MoveGen, CastlingOnlyThroughUnattackedSquares) {
  // f1 attacked by the bishop on c4: no short castling; long castling with b1
  // attacked by the rook on b8 is still generated.
  SetFen("1r2k3/8/8/8/2b5/8/8/R3K2R w KQ - 0 1");
  std::string list = GenerateAll();
  EXPECT_FALSE(Listed(list, "e1g1"));
  EXPECT_TRUE(Listed(list, "e1c1"));
  // An attacked h1 rook does not matter.
  SetFen("4k2r/8/8/8/8/8/8/R3K2R w KQ - 0 1");
  list = GenerateAll();
  EXPECT_TRUE(Listed(list, "e1g1"));
}

TEST(MoveGen, CastlingRefusedWhenKingSquaresAttacked) {
  const char* attacked[] = {
      "4k3/8/8/8/8/8/6r1/R3K2R w KQ - 0 1",  // g1 attacked from g2
      "4k3/8/8/8/8/8/5r2/R3K2R w KQ - 0 1",  // f1 attacked from f2
      "4k3/4r3/8/8/8/8/8/R3K2R w KQ - 0 1",  // king in check on e1
  };
  for (const char* fen : attacked) {
    SetFen(fen);
    EXPECT_FALSE(Listed(GenerateAll(), "e1g1")) << fen;
    EXPECT_EQ(E.board[26], kWhiteKing) << "king put back";
    EXPECT_EQ(E.whiteKingSquare, 26);
  }
  SetFen("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1");
  const std::string list = GenerateAll();
  EXPECT_TRUE(Listed(list, "e1g1"));
  EXPECT_TRUE(Listed(list, "e1c1"));
  EXPECT_EQ(ScoreOf(26, 28), 11000);
}

TEST(MoveGen, EnPassantOnlyOnTheNextPly) {
  FreshEngine();
  PlayMoves("e2e4 a7a6 e4e5 d7d5");
  EXPECT_TRUE(Listed(GenerateAll(), "e5d6"));
  PlayMoves("a2a3 a6a5");
  EXPECT_FALSE(Listed(GenerateAll(), "e5d6"));
}

TEST(MoveGen, KingCaptureEndsThePieceLoopAfterTheCapturingPiece) {
  // White to move can take the Black king with the rook on a1 (first in the
  // list); its other moves are still listed, later pieces generate nothing.
  SetFen("k7/8/8/8/8/8/8/R3K3 b - - 0 1");
  E.sideToMove = 0;  // a position the search reaches after an illegal move
  PositionReset();
  const std::string list = GenerateAll();
  EXPECT_EQ(E.kingCaptured, 1);
  EXPECT_TRUE(Listed(list, "a1a8"));
  EXPECT_TRUE(Listed(list, "a1h1") || Listed(list, "a1d1"));
  EXPECT_FALSE(Listed(list, "e1e2")) << "the king comes after the rook in the list";
}

TEST(MoveGen, OrderingScores) {
  // Pawn takes queen, knight takes rook, king takes pawn, quiet move onto a
  // pawn-attacked square.
  SetFen("4k3/8/5r2/3q4/4P1N1/8/3p4/4K3 w - - 0 1");
  GenerateAll();
  EXPECT_EQ(ScoreOf(58, 77), 1500);         // Nxf6
  EXPECT_EQ(ScoreOf(56, 65), 1900);         // exd5
  EXPECT_EQ(ScoreOf(26, 35), 1100 - 1000);  // Kxd2
  // Recapture on the previous move's destination.
  E.plyTo[0] = 65;
  GenerateAll();
  EXPECT_EQ(ScoreOf(56, 65), 20900);
  // Killer and counter-move.
  E.plyTo[0] = 0;
  E.killer1From[1] = 58;
  E.killer1To[1] = 79;
  E.counterFrom[0][0] = 56;
  E.counterTo[0][0] = 66;
  GenerateAll();
  EXPECT_EQ(ScoreOf(58, 79), 10000);
  EXPECT_EQ(ScoreOf(56, 66), 50000);
  E.killer1From[1] = E.counterFrom[0][0] = 0;
}

TEST(MoveGen, QuietMoveOntoPawnAttackedSquareLosesTheMoversValue) {
  SetFen("4k3/8/8/2p5/8/1N6/8/4K3 w - - 0 1");
  GenerateAll();
  EXPECT_EQ(ScoreOf(43, 55), -325);  // Nb3-d4 is attacked by c5
  EXPECT_EQ(ScoreOf(43, 62), 0);     // Nb3-a5 is not
}

TEST(MoveGen, QuiescenceCapturesAndScores) {
  FreshEngine();
  E.moveCount = 0;
  GenerateCaptures();
  EXPECT_EQ(E.moveCount, 0);
  SetFen("4k3/1P6/8/3q1r2/4P1N1/8/8/4K3 w - - 0 1");
  E.moveCount = 0;
  GenerateCaptures();
  // The h-side diagonal comes first; no push to the last rank.
  EXPECT_EQ(ListedMoves(1, E.moveCount), "e4f5 e4d5");
  EXPECT_EQ(E.moveScore[1], 500 + 1000 + 500);
  EXPECT_EQ(E.moveScore[2], 900 + 1000 + 900);
}

TEST(Check, DetectsEveryAttackerAndStopsAtBlockers) {
  SetFen("4k3/8/8/8/8/8/3p4/4K3 w - - 0 1");
  EXPECT_EQ(InCheck(0), 1) << "pawn on d2";
  SetFen("4k3/8/8/8/8/8/4p3/4K3 w - - 0 1");
  EXPECT_EQ(InCheck(0), 0) << "pawn in front";
  SetFen("4k3/4r3/8/8/8/8/4P3/4K3 w - - 0 1");
  EXPECT_EQ(InCheck(0), 0) << "rook behind a pawn";
  SetFen("4k3/8/8/q7/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(InCheck(0), 1) << "queen on the diagonal";
  SetFen("4k3/8/8/8/8/8/2n5/4K3 w - - 0 1");
  EXPECT_EQ(InCheck(0), 1) << "knight";
  SetFen("K7/8/8/8/8/8/8/7k w - - 0 1");
  EXPECT_EQ(InCheck(0), 0);
  EXPECT_EQ(InCheck(1), 0);
}

TEST(Legality, TestLeavesTheKeyAndHistoryUntouched) {
  FreshEngine();
  PlayMoves("e2e4 e7e5");
  const int key = E.positionKey;
  EXPECT_TRUE(IsLegalMove(28, 47));
  EXPECT_FALSE(IsLegalMove(28, 48));
  EXPECT_EQ(E.positionKey, key);
  EXPECT_EQ(E.keyHistory[E.gameMoveNumber], key);
  // A pinned piece may not move; the king may not step into check.
  SetFen("3rk3/4r3/8/8/8/8/4N3/4K3 w - - 0 1");
  EXPECT_FALSE(IsLegalMove(36, 57));
  EXPECT_FALSE(IsLegalMove(26, 25));
  EXPECT_TRUE(IsLegalMove(26, 27));
}

TEST(Repetition, CountsEarlierOccurrencesOnly) {
  FreshEngine();
  PlayMoves("g1f3 g8f6 f3g1 f6g8");
  EXPECT_EQ(E.positionKey, E.keyHistory[0]);
  EXPECT_EQ(RepetitionCount(4), 0);
  PlayMoves("g1f3 g8f6 f3g1 f6g8");
  EXPECT_EQ(RepetitionCount(8), 1);
  PlayMoves("g1f3 g8f6 f3g1 f6g8");
  EXPECT_EQ(RepetitionCount(12), 2);
  EXPECT_EQ(E.positionKey, KeyFromScratch());
}

TEST(Keys, SideToMoveAndEnPassantChangeTheKey) {
  FreshEngine();
  const int white = KeyFromScratch();
  E.sideToMove = 1;
  EXPECT_NE(KeyFromScratch(), white);
  // Same placement reached with and without an en passant capture.
  FreshEngine();
  PlayMoves("e2e4 a7a6 e4e5 d7d5 e5d6");
  const int withEp = E.positionKey;
  FreshEngine();
  PlayMoves("e2e4 d7d5 e4d5 a7a6 d5d6");
  EXPECT_NE(withEp, E.positionKey);
}

TEST(Navigation, StepBackAndForwardRestoreThePosition) {
  FreshEngine();
  PlayMoves("e2e4 d7d5 e4d5 d8d5 b1c3 d5a5 d2d4 c7c6");
  const int endKey = E.positionKey;
  int boardAtEnd[121];
  std::copy(E.board, E.board + 121, boardAtEnd);
  for (int i = 0; i < 8; i++) ASSERT_TRUE(StepBackGameMove());
  EXPECT_FALSE(StepBackGameMove());
  EXPECT_EQ(E.positionKey, E.keyHistory[0]);
  for (int s = 1; s <= 120; s++) ASSERT_EQ(E.board[s], initialBoard[s]) << s;
  EXPECT_STREQ(PositionSelfCheck(), "");
  for (int i = 0; i < 8; i++) ASSERT_TRUE(StepForwardGameMove());
  EXPECT_FALSE(StepForwardGameMove());
  EXPECT_EQ(E.positionKey, endKey);
  for (int s = 1; s <= 120; s++) ASSERT_EQ(E.board[s], boardAtEnd[s]) << s;
  // Two steps back and a new move replaces the rest of the record.
  StepBackGameMove();
  StepBackGameMove();
  ASSERT_TRUE(IsLegalMove(28, 47));
  ASSERT_TRUE(PlayGameMove(28, 47));
  EXPECT_EQ(E.gameMoveNumber, 7);
  EXPECT_EQ(E.gameFrom[8], -1);
}

TEST(Fen, RefusesMalformedPositions) {
  FreshEngine();
  std::string error;
  const char* bad[] = {
      "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq - 0 1",
      "rnbqkbnr/ppppxppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
      "rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQ - 0 1",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNP w kq - 0 1",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w KQkq - 0 1",
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1",
      "4k3/8/8/8/8/8/8/4K2R w KQ - 0 1",
      "4k3/8/8/8/8/8/8/R3K2R w KQ e3 0 1",
      "4k3/8/8/8/8/8/8/QQQQKQQQ w - - 0 1",  // fine: 8 pieces
      "4k3/4Q3/8/8/8/8/8/4K3 w - - 0 1",    // Black in check with White to move
      "",
  };
  int refused = 0;
  for (const char* fen : bad) refused += SetupFen(fen, error) ? 0 : 1;
  EXPECT_EQ(refused, 11);
  EXPECT_TRUE(SetupFen("4k3/8/8/8/4Pp2/8/8/4K3 b - e3 0 1", error)) << error;
  EXPECT_EQ(E.epSquare[0], 56);
}

}  // namespace
