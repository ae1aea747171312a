// The mouse as players expect it: a first click selects only a piece of the
// side to move, another own piece takes the selection, a piece can be
// dragged to its square, and the pointer is busy while the computer thinks.
#include "move_input.h"
#include "program_test_util.h"

namespace {

bool busyWhileThinking = false;
ScriptPlatform* watched = nullptr;
void NoteBusy(int, int) { busyWhileThinking = watched != nullptr && watched->Busy(); }

class MouseTest : public ProgramTest {
 protected:
  void TearDown() override {
    iterationHook = nullptr;
    watched = nullptr;
    ProgramTest::TearDown();
  }
  void Press(int x, int y) {
    p.SetPointer(shell.boardCanvas, x, y);
    p.PushEvent(EventId::MouseDown, shell.boardCanvas, 1);
    Pump();
  }
  void MoveTo(int x, int y) {
    p.SetPointer(shell.boardCanvas, x, y);
    p.PushEvent(EventId::MouseMove, shell.boardCanvas);
    Pump();
  }
  void Release(int x, int y) {
    p.SetPointer(shell.boardCanvas, x, y);
    p.PushEvent(EventId::MouseUp, shell.boardCanvas, 1);
    Pump();
  }
  // Presses on one square, moves across the board and releases on another.
  void Drag(const char* from, int toX, int toY) {
    int x, y;
    PointAt(Sq(from), x, y);
    Press(x, y);
    MoveTo(x + 2, y + 1);  // a shaky click: not a drag yet
    EXPECT_FALSE(shell.carrying);
    MoveTo((x + toX) / 2, (y + toY) / 2);
    EXPECT_TRUE(shell.carrying);
    MoveTo(toX, toY);
    Release(toX, toY);
  }
  void DragTo(const char* from, const char* to) {
    int x, y;
    PointAt(Sq(to), x, y);
    Drag(from, x + 7, y - 5);
  }
};

TEST_F(MouseTest, AFirstClickSelectsOnlyAPieceOfTheSideToMove) {
  StartPlain();
  Click(Sq("e4"));  // empty
  EXPECT_EQ(shell.selectedFrom, 0);
  Click(Sq("e7"));  // Black's, White to move
  EXPECT_EQ(shell.selectedFrom, 0);
  // The next click on the user's own piece is a first click, not swallowed.
  Click(Sq("g1"));
  EXPECT_EQ(shell.selectedFrom, Sq("g1"));
  // Another own piece takes the selection; then the move is made.
  Click(Sq("e2"));
  EXPECT_EQ(shell.selectedFrom, Sq("e2"));
  EXPECT_EQ(shell.clickCount, 1);
  Click(Sq("e4"));
  ASSERT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(E.gameFrom[1], Sq("e2"));
  // The selected square again cancels, as before.
  Click(Sq("d2"));
  Click(Sq("d2"));
  EXPECT_EQ(shell.selectedFrom, 0);
  EXPECT_EQ(E.gameMoveNumber, 2);
  // After stepping back, the side to move is Black: its pieces are the
  // ones that can be chosen.
  Wheel(+1);
  Click(Sq("d2"));
  EXPECT_EQ(shell.selectedFrom, 0);
  Click(E.gameTo[2] == Sq("e5") ? Sq("d7") : Sq("e7"));
  EXPECT_NE(shell.selectedFrom, 0);
}

TEST_F(MouseTest, ADraggedPieceIsCarriedAndDroppedOnItsSquare) {
  StartPlain();
  int x, y;
  PointAt(Sq("e2"), x, y);
  Press(x, y);
  MoveTo(x + 20, y - 60);
  ASSERT_TRUE(shell.carrying);
  // While carried: the piece under the pointer at full strength, drawn
  // last, and its own square drawn as selected.
  const Frame& frame = LastBoardFrame();
  const DrawCall& last = frame.calls.back();
  EXPECT_EQ(last.name, "fig1.png");
  EXPECT_EQ(last.x, x + 20 - 52 / 2);
  EXPECT_EQ(last.y, y - 60 - 37 / 2);
  EXPECT_DOUBLE_EQ(last.alpha, 1.0);
  const auto pawns = CallsOf(frame, "fig1.png");
  bool origin = false;
  for (const DrawCall& c : pawns) origin = origin || (c.x == 199 && c.y == 313 && c.alpha == 0.7);
  EXPECT_TRUE(origin);

  PointAt(Sq("e4"), x, y);
  MoveTo(x, y);
  Release(x, y);
  ASSERT_EQ(E.gameMoveNumber, 2);  // played and answered
  EXPECT_EQ(E.gameFrom[1], Sq("e2"));
  EXPECT_EQ(E.gameTo[1], Sq("e4"));
  EXPECT_FALSE(shell.carrying);
  EXPECT_EQ(shell.selectedFrom, 0);
}

TEST_F(MouseTest, ADropThatIsNoMovePutsThePieceBack) {
  StartPlain();
  // On an illegal square: nothing is played, nothing stays selected, and
  // the piece is no longer drawn under the pointer.
  DragTo("e2", "e5");
  EXPECT_EQ(E.gameMoveNumber, 0);
  EXPECT_EQ(shell.selectedFrom, 0);
  EXPECT_EQ(LastBoardFrame().calls.back().name, "fig12.png");  // h8's rook, the last cell's piece
  EXPECT_EQ(LastBoardFrame().calls.back().x, 7 * 50 - 1);
  // Back on its own square: it stays selected, so a click can finish.
  int x, y;
  PointAt(Sq("g1"), x, y);
  Drag("g1", x + 5, y + 9);
  EXPECT_EQ(E.gameMoveNumber, 0);
  EXPECT_EQ(shell.selectedFrom, Sq("g1"));
  // Beside the board: back as well.
  Drag("g1", 430, 200);
  EXPECT_EQ(E.gameMoveNumber, 0);
  EXPECT_EQ(shell.selectedFrom, Sq("g1"));
  Click(Sq("f3"));
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(E.gameTo[1], Sq("f3"));
}

// A piece selected by a click can still be dragged; dragging another own
// piece moves that one.
TEST_F(MouseTest, ClicksAndDragsMix) {
  StartPlain();
  Click(Sq("b1"));
  DragTo("d2", "d4");
  ASSERT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(E.gameFrom[1], Sq("d2"));
}

TEST_F(MouseTest, ThePointerIsBusyWhileTheComputerThinks) {
  StartPlain();
  watched = &p;
  iterationHook = NoteBusy;
  Move("e2", "e4");
  ASSERT_EQ(E.gameMoveNumber, 2);
  EXPECT_TRUE(busyWhileThinking);
  EXPECT_FALSE(p.Busy());
  ASSERT_GE(p.BusyChanges().size(), 2u);
  EXPECT_TRUE(p.BusyChanges()[p.BusyChanges().size() - 2]);
  EXPECT_FALSE(p.BusyChanges().back());
}

}  // namespace
