// Board drawing: cell order, orientation, piece sizes, ghost and selection.
#include "move_input.h"
#include "program_test_util.h"

namespace {

// The one call of `picture` whose destination starts at (x, y).
const DrawCall* CallAt(const Frame& frame, const std::string& picture, int x, int y) {
  for (const DrawCall& c : frame.calls)
    if (c.name == picture && c.x == x && c.y == y) return &c;
  return nullptr;
}

int CountTranslucent(const Frame& frame) {
  int n = 0;
  for (const DrawCall& c : frame.calls) n += c.alpha < 1.0;
  return n;
}

}  // namespace

TEST_F(ProgramTest, PiecesAreStretchedByTheirPercentagesAndStandOnTheCellBottom) {
  StartPlain();
  const Frame& frame = LastBoardFrame();
  ASSERT_EQ(frame.calls.size(), 96u);
  // a1 first, dark, at the bottom left; then its rook; then b1, light.
  EXPECT_EQ(frame.calls[0].name, "dark.jpg");
  EXPECT_EQ(frame.calls[0].x, 0);
  EXPECT_EQ(frame.calls[0].y, 350);
  EXPECT_EQ(frame.calls[0].width, 50);
  EXPECT_TRUE(frame.calls[0].stretched);
  EXPECT_EQ(frame.calls[1].name, "fig4.png");
  EXPECT_EQ(frame.calls[2].name, "light.jpg");
  EXPECT_EQ(frame.calls[2].x, 50);
  // e2 pawn: 52 x 37 at (-1, 13) inside the cell at (200, 300).
  const DrawCall* pawn = CallAt(frame, "fig1.png", 199, 313);
  ASSERT_NE(pawn, nullptr);
  EXPECT_EQ(pawn->width, 52);
  EXPECT_EQ(pawn->height, 37);
  // d1 queen: 65 x 50 at (-7, 0) inside the cell at (150, 350).
  const DrawCall* queen = CallAt(frame, "fig5.png", 143, 350);
  ASSERT_NE(queen, nullptr);
  EXPECT_EQ(queen->width, 65);
  EXPECT_EQ(queen->height, 50);
  // Black knight on b8: 55 x 45 in the top row.
  const DrawCall* knight = CallAt(frame, "fig10.png", 50 - 2, 5);
  ASSERT_NE(knight, nullptr);
  EXPECT_EQ(knight->width, 55);
  EXPECT_EQ(CountTranslucent(frame), 0);
}

TEST_F(ProgramTest, SmallestBoardUsesTwentyPixelSquares) {
  WriteConfig(0, 0, 160, 160, 0, 1, 1);
  ASSERT_TRUE(StartUp(p));
  const Frame& frame = LastBoardFrame();
  const DrawCall* pawn = CallAt(frame, "fig1.png", 80, 125);
  ASSERT_NE(pawn, nullptr);
  EXPECT_EQ(pawn->width, 21);
  EXPECT_EQ(pawn->height, 15);
  const DrawCall* king = CallAt(frame, "fig6.png", 80 - 3, 140);
  ASSERT_NE(king, nullptr);
  EXPECT_EQ(king->width, 26);
  EXPECT_EQ(king->height, 20);
}

TEST_F(ProgramTest, BlackAtTheBottomPutsA1TopRightAndH8BottomLeft) {
  StartPlain(1);
  const Frame& frame = LastBoardFrame();
  ASSERT_EQ(frame.calls.size(), 96u);
  EXPECT_EQ(frame.calls[0].x, 350);  // a1
  EXPECT_EQ(frame.calls[0].y, 0);
  const DrawCall& h8 = frame.calls[frame.calls.size() - 2];  // h8 background, then its rook
  EXPECT_EQ(h8.name, "dark.jpg");
  EXPECT_EQ(h8.x, 0);
  EXPECT_EQ(h8.y, 350);
  // Clicks are read the same way round: the cell at the top right is a1.
  EXPECT_EQ(SquareAtPoint(375, 25), Sq("a1"));
}

TEST_F(ProgramTest, EngineMoveLeavesAGhostAndSelectionMakesItStronger) {
  WriteBytes("korvin.bok", {36, 56, 86, 66, 0});  // 1. e4 e5
  StartPlain();
  Click(Sq("e2"));
  // The selected pawn is drawn at 0.7, nothing else is translucent.
  const DrawCall* selected = CallAt(LastBoardFrame(), "fig1.png", 199, 313);
  ASSERT_NE(selected, nullptr);
  EXPECT_DOUBLE_EQ(selected->alpha, 0.7);
  EXPECT_EQ(CountTranslucent(LastBoardFrame()), 1);

  const size_t before = p.Frames().size();
  Click(Sq("e4"));
  ASSERT_EQ(E.gameMoveNumber, 2);
  ASSERT_EQ(E.gameFrom[2], Sq("e7"));
  // The human's move was shown first, without a ghost.
  bool humanFrame = false;
  for (size_t k = before; k < p.Frames().size(); k++) {
    const Frame& f = p.Frames()[k];
    if (f.canvas != shell.boardCanvas || f.calls.empty()) continue;
    if (CallAt(f, "fig1.png", 199, 213) != nullptr && CallAt(f, "fig9.png", 199, 163) == nullptr) {
      humanFrame = true;
      EXPECT_EQ(CountTranslucent(f), 0);
    }
  }
  EXPECT_TRUE(humanFrame);
  // After the reply: a pawn on e5 and a faint one on e7.
  const Frame& frame = LastBoardFrame();
  const DrawCall* e5 = CallAt(frame, "fig9.png", 199, 150 + 13);
  const DrawCall* e7 = CallAt(frame, "fig9.png", 199, 50 + 13);
  ASSERT_NE(e5, nullptr);
  ASSERT_NE(e7, nullptr);
  EXPECT_DOUBLE_EQ(e5->alpha, 1.0);
  EXPECT_DOUBLE_EQ(e7->alpha, 0.4);
  // The ghost's square is empty: a first click there selects nothing and
  // the ghost stays faint. A selected piece is drawn at 0.7.
  Click(Sq("e7"));
  EXPECT_EQ(shell.selectedFrom, 0);
  const DrawCall* ghost = CallAt(LastBoardFrame(), "fig9.png", 199, 50 + 13);
  ASSERT_NE(ghost, nullptr);
  EXPECT_DOUBLE_EQ(ghost->alpha, 0.4);
  Click(Sq("d2"));
  const DrawCall* chosen = CallAt(LastBoardFrame(), "fig1.png", 149, 300 + 13);
  ASSERT_NE(chosen, nullptr);
  EXPECT_DOUBLE_EQ(chosen->alpha, 0.7);
  // A repaint keeps the pending selection.
  p.PushEvent(EventId::GadgetPaint, shell.boardCanvas);
  Pump();
  EXPECT_DOUBLE_EQ(CallAt(LastBoardFrame(), "fig1.png", 149, 313)->alpha, 0.7);
}
