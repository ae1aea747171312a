// Move input, promotion, draws and stepping through the game record.
#include <initializer_list>
#include <utility>

#include "move_input.h"
#include "position.h"
#include "program_test_util.h"

namespace {

// Puts only the given pieces on the board, the side to move, no castling,
// an empty game record, and shows it.
void SetPosition(std::initializer_list<std::pair<const char*, int>> pieces, int side) {
  for (int s = 1; s <= 120; s++) E.board[s] = IsPlayingSquare(s) ? kEmpty : kOffBoard;
  for (const auto& [square, code] : pieces) E.board[Sq(square)] = code;
  E.sideToMove = side;
  E.castleRights = 0;
  E.gameMoveNumber = 0;
  E.gameEndMove = 0;
  E.gameFrom[1] = -1;
  E.incrementalScore = PositionReset();
  ComputeKey();
  RefreshBoard(0, 0, 0);
}

}  // namespace

TEST_F(ProgramTest, SameSquareTwiceOrAClickBesideTheBoardPlaysNothing) {
  StartPlain();
  Move("e2", "e2");
  EXPECT_EQ(E.gameMoveNumber, 0);
  EXPECT_EQ(shell.clickCount, 0);
  EXPECT_EQ(shell.selectedFrom, 0);
  for (const DrawCall& c : LastBoardFrame().calls) EXPECT_DOUBLE_EQ(c.alpha, 1.0);

  // Beside the drawn board (the canvas is larger than the window).
  EXPECT_EQ(SquareAtPoint(400, 10), 0);
  EXPECT_EQ(SquareAtPoint(10, 400), 0);
  EXPECT_EQ(SquareAtPoint(-1, 10), 0);
  EXPECT_EQ(SquareAtPoint(399, 399), Sq("h1"));
  EXPECT_EQ(SquareAtPoint(0, 0), Sq("a8"));
  ClickAt(450, 10);
  EXPECT_EQ(shell.clickCount, 0);
  Click(Sq("e2"));
  ClickAt(450, 10);  // a second click beside the board cancels
  EXPECT_EQ(shell.clickCount, 0);
  EXPECT_EQ(shell.selectedFrom, 0);
  Click(Sq("e4"));   // a new first click, not a move
  EXPECT_EQ(E.gameMoveNumber, 0);
  Click(Sq("e4"));
  Move("e2", "e4");
  EXPECT_EQ(E.gameMoveNumber, 2);
}

TEST_F(ProgramTest, PinnedPieceAndKingIntoCheckAreRefusedSilently) {
  StartPlain();
  SetPosition({{"e1", kWhiteKing}, {"e2", kWhiteBishop}, {"e8", kBlackRook}, {"d8", kBlackRook},
               {"a8", kBlackKing}},
              0);
  const size_t windows = p.Windows().size();
  Move("e2", "d3");
  EXPECT_EQ(E.gameMoveNumber, 0);
  Move("e1", "d1");
  EXPECT_EQ(E.gameMoveNumber, 0);
  EXPECT_EQ(shell.clickCount, 0);
  EXPECT_EQ(E.board[Sq("e2")], kWhiteBishop);
  EXPECT_EQ(p.Windows().size(), windows);  // no message of any kind
  Move("e1", "f1");
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(E.gameFrom[1], Sq("e1"));
}

TEST_F(ProgramTest, PromotionAsksAndAKnightSurvivesSteppingThroughTheGame) {
  StartPlain();
  SetPosition({{"e1", kWhiteKing}, {"b7", kWhitePawn}, {"h5", kBlackKing}}, 0);
  // The dialog ignores its close button and other input until a choice.
  actions.push_back([this] {
    p.PushEvent(EventId::WindowClose, p.FindWindowByTitle("Promotion")->handle);
    p.PushEvent(EventId::MouseDown, shell.boardCanvas, 1);
  });
  actions.push_back(Press("Promotion", "Knight"));
  Move("b7", "b8");
  const ScriptWindow* dialog = p.FindWindowByTitle("Promotion");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->kind, WindowKind::Fixed);
  EXPECT_EQ(dialog->x, 100 + (400 - 480) / 2);
  EXPECT_EQ(dialog->y, 100 + (400 - 54) / 2);
  EXPECT_EQ(dialog->width, 480);
  EXPECT_EQ(dialog->height, 54);
  EXPECT_TRUE(dialog->destroyed);
  const ScriptWidget* knight =
      p.FindWidget(p.FindWidgetByText(dialog->handle, "Knight", WidgetKind::Button));
  ASSERT_NE(knight, nullptr);
  EXPECT_EQ(knight->x, 355);
  EXPECT_EQ(knight->y, 15);
  EXPECT_EQ(p.DrawTarget(), shell.boardCanvas);

  ASSERT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(E.gamePromotion[1], kWhiteKnight);
  EXPECT_EQ(E.board[Sq("b8")], kWhiteKnight);
  EXPECT_FALSE(CallsOf(LastBoardFrame(), "fig2.png").empty());
  Wheel(+1);
  Wheel(+1);
  EXPECT_EQ(E.board[Sq("b7")], kWhitePawn);
  EXPECT_EQ(E.board[Sq("b8")], kEmpty);
  Wheel(-1);
  EXPECT_EQ(E.board[Sq("b8")], kWhiteKnight);
  EXPECT_EQ(shell.displayBoard[Sq("b8")], kWhiteKnight);
  // The ghost on b7 is the piece now on b8.
  bool ghost = false;
  for (const DrawCall& c : CallsOf(LastBoardFrame(), "fig2.png")) ghost = ghost || c.alpha == 0.4;
  EXPECT_TRUE(ghost);
}

TEST_F(ProgramTest, WheelAndMiddleButtonWalkTheRecord) {
  WriteBytes("korvin.bok", {36, 56, 86, 66, 28, 47, 93, 74, 0});  // e4 e5 Nf3 Nc6
  StartPlain();
  Move("e2", "e4");
  Move("g1", "f3");
  ASSERT_EQ(E.gameMoveNumber, 4);
  ASSERT_EQ(E.gameTo[4], Sq("c6"));

  Wheel(-1);  // at the end: nothing
  EXPECT_EQ(E.gameMoveNumber, 4);
  Wheel(2);  // several notches at once: nothing
  EXPECT_EQ(E.gameMoveNumber, 4);
  Wheel(+1);
  EXPECT_EQ(E.gameMoveNumber, 3);
  EXPECT_EQ(shell.displayBoard[Sq("b8")], kBlackKnight);
  EXPECT_EQ(E.mateThreshold, 28999);
  Wheel(+1);
  Wheel(+1);
  Wheel(+1);
  Wheel(+1);  // at the start: nothing
  EXPECT_EQ(E.gameMoveNumber, 0);
  EXPECT_EQ(shell.displayBoard[Sq("e2")], kWhitePawn);
  Wheel(-1);
  EXPECT_EQ(E.gameMoveNumber, 1);
  EXPECT_EQ(shell.displayBoard[Sq("e4")], kWhitePawn);

  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 3);
  Pump();
  EXPECT_EQ(E.gameMoveNumber, 0);
  EXPECT_EQ(E.mateThreshold, kMateBound);
  for (const DrawCall& c : LastBoardFrame().calls) EXPECT_DOUBLE_EQ(c.alpha, 1.0);
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 3);
  Pump();
  EXPECT_EQ(E.gameMoveNumber, 4);
  EXPECT_EQ(E.mateThreshold, kMateBound);
  EXPECT_EQ(shell.displayBoard[Sq("c6")], kBlackKnight);
  bool ghost = false;
  for (const DrawCall& c : CallsOf(LastBoardFrame(), "fig10.png")) ghost = ghost || c.alpha == 0.4;
  EXPECT_TRUE(ghost);

  // Two half-moves back and a new move: the rest of the record is replaced
  // and the computer answers at once.
  Wheel(+1);
  Wheel(+1);
  Move("d2", "d4");
  EXPECT_EQ(E.gameMoveNumber, 4);
  EXPECT_EQ(E.gameFrom[3], Sq("d2"));
  EXPECT_EQ(E.gameFrom[5], -1);
  EXPECT_STREQ(PositionSelfCheck(), "");
}

TEST_F(ProgramTest, ThirdOccurrenceShowsTheDrawBannerOnceAndPlayGoesOn) {
  // The computer's replies come from the book: the knights go out and back.
  std::vector<int> book;
  for (int k = 0; k < 3; k++) {
    for (int b : {28, 47, 98, 77}) book.push_back(b);
    if (k < 2)
      for (int b : {47, 28, 77, 98}) book.push_back(b);
  }
  book.push_back(0);
  WriteBytes("korvin.bok", book);
  StartPlain();
  for (int k = 0; k < 2; k++) {
    Move("g1", "f3");
    Move("f3", "g1");
  }
  EXPECT_EQ(E.gameMoveNumber, 8);
  EXPECT_EQ(CountWindows(""), 0);
  Move("g1", "f3");  // the third time this position arises
  EXPECT_EQ(E.gameMoveNumber, 10);
  EXPECT_EQ(E.gameEndMove, 9);
  Move("f3", "g1");
  EXPECT_EQ(E.gameMoveNumber, 12);
  ASSERT_EQ(CountWindows(""), 1);
  const ScriptWindow* banner = p.FindWindowByTitle("");
  EXPECT_EQ(banner->kind, WindowKind::Bare);
  EXPECT_EQ(banner->x, 100 + (400 - 315) / 2);
  EXPECT_EQ(banner->y, 100 + (400 - 68) / 2);
  EXPECT_EQ(banner->width, 315);
  EXPECT_EQ(banner->height, 68);
  EXPECT_TRUE(banner->destroyed);
  ASSERT_EQ(p.Sleeps().size(), 1u);
  EXPECT_EQ(p.Sleeps()[0], 3000);
  bool drawn = false;
  for (const Frame& f : p.Frames())
    for (const DrawCall& c : f.calls)
      drawn = drawn || (c.name == "draw.png" && !c.stretched && c.x == 0 && c.y == 0);
  EXPECT_TRUE(drawn);
  EXPECT_EQ(p.DrawTarget(), shell.boardCanvas);
  EXPECT_TRUE(p.AlphaBlending());
}
