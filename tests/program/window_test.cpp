// The square-window rule and the window while the computer thinks.
#include "program_test_util.h"

namespace {

struct Resize {
  int width, height, expected;
};

}  // namespace

TEST_F(ProgramTest, ResizingKeepsTheWindowSquareWithinItsLimits) {
  StartPlain();
  const Resize cases[] = {
      {517, 400, 512},   // only the width dragged
      {512, 300, 296},   // only the height dragged
      {300, 500, 296},   // a corner: the shorter side
      {100, 120, 160},   // not below 160
      {1500, 1500, 1080} // not beyond the shorter desktop side
  };
  for (const Resize& r : cases) {
    const ScriptWindow* w = p.FindWindow(shell.mainWindow);
    p.SimulateWindowGeometry(shell.mainWindow, w->x, w->y, r.width, r.height);
    p.PushEvent(EventId::WindowSize, shell.mainWindow);
    Pump();
    w = p.FindWindow(shell.mainWindow);
    EXPECT_EQ(w->width, r.expected) << r.width << " x " << r.height;
    EXPECT_EQ(w->height, r.expected) << r.width << " x " << r.height;
    EXPECT_EQ(settings.windowWidth, r.expected);
    EXPECT_EQ(shell.squareSize, r.expected / 8);
  }
  // The board follows: 64-pixel squares after the first resize.
  p.SimulateWindowGeometry(shell.mainWindow, 0, 0, 517, 1080);
  p.PushEvent(EventId::WindowSize, shell.mainWindow);
  Pump();
  EXPECT_EQ(shell.squareSize, 64);
  const DrawCall& a1 = LastBoardFrame().calls.at(0);
  EXPECT_EQ(a1.width, 64);
  EXPECT_EQ(a1.y, 7 * 64);
}

TEST_F(ProgramTest, WhileTheComputerThinksTheWindowKeepsItsSizeAndInputIsLost) {
  StartPlain();
  Click(Sq("e2"));
  int x, y;
  PointAt(Sq("e4"), x, y);
  p.SetPointer(shell.boardCanvas, x, y);
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 1);
  // Queued behind the move: a resize and a right click, taken by the search.
  p.SimulateWindowGeometry(shell.mainWindow, 100, 100, 600, 600);
  p.PushEvent(EventId::WindowSize, shell.mainWindow);
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(p.FindWindow(shell.mainWindow)->width, 400);
  EXPECT_EQ(settings.windowWidth, 400);
  EXPECT_EQ(p.FindWindowByTitle("Options"), nullptr);
}
