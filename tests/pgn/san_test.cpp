// Naming moves in standard algebraic notation and finding the move a name
// stands for, in positions set up for each rule.
#include <gtest/gtest.h>

#include <string>

#include "engine_state.h"
#include "notation.h"
#include "position.h"
#include "san.h"

namespace {

void SetUpFen(const char* fen) {
  StartEngine(1);
  std::string error;
  ASSERT_TRUE(SetupFen(fen, error)) << error;
}

std::string Name(const char* move, int promotion = 0) {
  int from = 0, to = 0;
  char letter = '\0';
  EXPECT_TRUE(ParseMoveText(move, from, to, letter)) << move;
  return SanName(from, to, promotion);
}

// The coordinate name of the move `san` finds, or "error: reason".
std::string Find(const char* san) {
  int from = 0, to = 0, promotion = 0;
  std::string error;
  if (!ParseSan(san, from, to, promotion, error)) return "error: " + error;
  std::string text = SquareName(from) + SquareName(to);
  if (promotion != 0) text += " pnbrqk"[promotion > kOffBoard ? promotion - 8 : promotion];
  return text;
}

TEST(San, DisambiguatesByFileThenRankThenBoth) {
  // Knights on b1 and f3 both reach d2; rooks on a1 and a5 share the a-file.
  SetUpFen("r3k2r/8/8/R7/8/5N2/8/RN2K3 w - - 0 1");
  EXPECT_EQ(Name("b1d2"), "Nbd2");
  EXPECT_EQ(Name("f3d2"), "Nfd2");
  EXPECT_EQ(Name("a1a3"), "R1a3");
  EXPECT_EQ(Name("a5a3"), "R5a3");
  EXPECT_EQ(Name("a5b5"), "Rb5");  // the a1 rook cannot reach b5
  EXPECT_EQ(Find("Nbd2"), "b1d2");
  EXPECT_EQ(Find("R5a3"), "a5a3");
  EXPECT_EQ(Find("Nd2"), "error: ambiguous");
  EXPECT_EQ(Find("Ra3"), "error: ambiguous");

  // Black's rooks share rank 8.
  SetUpFen("r6r/4k3/8/8/8/8/8/4K3 b - - 0 1");
  EXPECT_EQ(Name("a8d8"), "Rad8");
  EXPECT_EQ(Name("h8d8"), "Rhd8");
  EXPECT_EQ(Find("Rhd8"), "h8d8");

  // Three queens reach e4: b4 and h4 share a rank, h4 and h1 a file, so the
  // h4 queen needs file and rank.
  SetUpFen("2k5/8/8/8/1Q5Q/8/8/4K2Q w - - 0 1");
  EXPECT_EQ(Name("h4e4"), "Qh4e4");
  EXPECT_EQ(Name("b4e4"), "Qbe4");
  EXPECT_EQ(Name("h1e4"), "Q1e4");
  EXPECT_EQ(Find("Qh4e4"), "h4e4");
  EXPECT_EQ(Find("Qhe4"), "error: ambiguous");
  EXPECT_EQ(Find("Q4e4"), "error: ambiguous");
}

TEST(San, PinnedPieceNeedsNoDisambiguation) {
  // The knight on c3 is pinned against the king by the bishop on b4.
  SetUpFen("4k3/8/8/8/1b6/2N5/8/4K1N1 w - - 0 1");
  EXPECT_EQ(Name("g1e2"), "Ne2");
  EXPECT_EQ(Find("Ne2"), "g1e2");
}

TEST(San, PawnsCastlingPromotionAndChecks) {
  SetUpFen("r3k2r/1P6/8/3pP3/8/8/8/R3K2R w KQkq d6 0 1");
  EXPECT_EQ(Name("e5d6"), "exd6");  // en passant
  EXPECT_EQ(Name("e5e6"), "e6");
  EXPECT_EQ(Name("e1g1"), "O-O");
  EXPECT_EQ(Name("e1c1"), "O-O-O");
  EXPECT_EQ(Name("b7b8", kWhiteKnight), "b8=N");
  EXPECT_EQ(Name("b7b8"), "b8=Q+");
  EXPECT_EQ(Name("b7a8", kWhiteRook), "bxa8=R+");
  EXPECT_EQ(Find("exd6e.p."), "e5d6");
  EXPECT_EQ(Find("0-0"), "e1g1");
  EXPECT_EQ(Find("O-O-O+"), "e1c1");
  EXPECT_EQ(Find("b8=N"), "b7b8n");
  EXPECT_EQ(Find("b8N"), "b7b8n");
  EXPECT_EQ(Find("bxa8=r"), "b7a8r");
  EXPECT_EQ(Find("b8"), "error: needs a promotion piece");
  EXPECT_EQ(Find("e5=Q"), "error: not a legal move");
  EXPECT_EQ(Find("d6"), "error: not a legal move");  // a pawn naming no file moves straight
  EXPECT_EQ(Find("Ng1-f3"), "error: not a legal move");
  EXPECT_EQ(Find("Ra1-d1!?"), "a1d1");
  EXPECT_EQ(Find("b8=K"), "error: not a move");
  EXPECT_EQ(Find("Zz9"), "error: not a move");
  EXPECT_EQ(Find(""), "error: not a move");

  // Fool's mate.
  SetUpFen("rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq g3 0 2");
  EXPECT_EQ(Name("d8h4"), "Qh4#");
}

TEST(San, NamingLeavesThePositionAsItWas) {
  SetUpFen("r3k2r/1P6/8/3pP3/8/8/8/R3K2R w KQkq d6 0 1");
  const std::string before = CurrentFen();
  const int key = E.positionKey, ply = E.ply, count = E.moveCount;
  Name("b7a8", kWhiteRook);
  Find("O-O");
  Find("Rd1");
  EXPECT_EQ(CurrentFen(), before);
  EXPECT_EQ(E.positionKey, key);
  EXPECT_EQ(E.ply, ply);
  EXPECT_EQ(E.moveCount, count);
  EXPECT_STREQ(PositionSelfCheck(), "");
}

}  // namespace
