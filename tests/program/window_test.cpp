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

// Once the window system's frame is known, a window that does not fit with
// it is made smaller; the board is drawn at the new size at once, although
// a window made smaller is not repainted by the window system.
TEST_F(ProgramTest, TheFirstBoardFillsAWindowMadeSmallerToFit) {
  WriteConfig(0, 0, 2000, 2000, 0, 1, 1);
  ASSERT_TRUE(StartUp(p));
  EXPECT_EQ(p.FindWindow(shell.mainWindow)->width, 1080);
  // The frame, now known, leaves 1000 pixels of the screen's height.
  p.SetScreens({ScreenRect{0, 0, 1920, 1000}});
  Pump();
  const ScriptWindow* w = p.FindWindow(shell.mainWindow);
  EXPECT_EQ(w->width, 1000);
  EXPECT_EQ(w->height, 1000);
  EXPECT_EQ(shell.squareSize, 125);
  const Frame& frame = LastBoardFrame();
  ASSERT_FALSE(frame.calls.empty());
  const DrawCall& a1 = frame.calls.at(0);
  EXPECT_EQ(a1.width, 125);
  EXPECT_EQ(a1.y, 7 * 125);
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

namespace {

// The window system maximizes the 400-pixel window at (100, 100) to
// 1400 x 1068 at (0, 32).
void Maximize(ScriptPlatform& p, WindowState state = WindowState::Maximized) {
  p.SimulateWindowState(shell.mainWindow, state, 0, 32, 1400, 1068);
  p.PushEvent(EventId::WindowSize, shell.mainWindow);
  p.PushEvent(EventId::GadgetPaint, shell.boardCanvas);
}

// The settings file's seven values.
std::vector<int> ConfigValues() {
  const std::vector<int> bytes = ProgramTest::ReadBytes("korvin.cfg");
  std::vector<int> values;
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
    values.push_back(static_cast<int>(static_cast<unsigned>(bytes[i]) | static_cast<unsigned>(bytes[i + 1]) << 8 |
                                      static_cast<unsigned>(bytes[i + 2]) << 16 |
                                      static_cast<unsigned>(bytes[i + 3]) << 24));
  return values;
}

}  // namespace

// A maximized window keeps the size the window system gave it (answering
// with another is what Wayland forbids); the board is the largest square
// that fits, centred on a quiet background that also hides the overhang of
// the outer files' pieces; clicks find the squares where they are drawn.
TEST_F(ProgramTest, AMaximizedWindowShowsTheLargestBoardCentred) {
  StartPlain();
  Maximize(p);
  Pump();
  const ScriptWindow* w = p.FindWindow(shell.mainWindow);
  EXPECT_EQ(w->width, 1400);
  EXPECT_EQ(w->height, 1068);
  EXPECT_EQ(shell.squareSize, 133);  // 1064 / 8
  EXPECT_EQ(shell.boardLeft, 168);
  EXPECT_EQ(shell.boardTop, 2);
  EXPECT_EQ(settings.windowWidth, 400);  // the size kept for the normal window

  const Frame& frame = LastBoardFrame();
  size_t lastCell = 0, firstFill = frame.calls.size();
  for (size_t i = 0; i < frame.calls.size(); i++) {
    if (frame.calls[i].name == "fill") firstFill = std::min(firstFill, i);
    else lastCell = i;
  }
  EXPECT_GT(firstFill, lastCell) << "the background goes over the overhang";
  // a8 is the top-left cell.
  bool a8Found = false;
  for (const DrawCall& c : frame.calls)
    a8Found = a8Found || (c.stretched && c.x == 168 && c.y == 2 && c.width == 133 && c.height == 133);
  EXPECT_TRUE(a8Found);
  // Every pixel of the window outside the board is filled.
  long filled = 0;
  for (const DrawCall& c : frame.calls)
    if (c.name == "fill") filled += static_cast<long>(c.width) * c.height;
  EXPECT_EQ(filled, 1400L * 1068 - 1064L * 1064);

  // A move by two clicks where the squares are drawn.
  ClickAt(168 + 4 * 133 + 66, 2 + 6 * 133 + 66);
  ClickAt(168 + 4 * 133 + 66, 2 + 4 * 133 + 66);
  EXPECT_EQ(E.gameFrom[1], Sq("e2"));
  EXPECT_EQ(E.gameTo[1], Sq("e4"));

  // Back to normal: the square window it was, nothing filled.
  p.SimulateWindowState(shell.mainWindow, WindowState::Normal, 100, 100, 400, 400);
  p.PushEvent(EventId::WindowSize, shell.mainWindow);
  p.PushEvent(EventId::GadgetPaint, shell.boardCanvas);
  Pump();
  EXPECT_EQ(shell.squareSize, 50);
  EXPECT_EQ(shell.boardLeft, 0);
  EXPECT_EQ(shell.boardTop, 0);
  EXPECT_TRUE(CallsOf(LastBoardFrame(), "fill").empty());
}

// The settings keep the normal window: maximized or full-screen at exit,
// the square window it returns to is stored.
TEST_F(ProgramTest, TheStoredSizeIsTheLastNormalOne) {
  StartPlain();
  for (WindowState state : {WindowState::Maximized, WindowState::FullScreen}) {
    Maximize(p, state);
    Pump();
    EXPECT_EQ(p.FindWindow(shell.mainWindow)->width, 1400);
  }
  Close();
  ASSERT_TRUE(ended);
  EXPECT_EQ(ConfigValues(), (std::vector<int>{100, 100, 400, 400, 0, 1, 1}));
}

// A window system that keeps window positions to itself (Wayland) reports
// (0, 0): the stored position stays as it was.
TEST_F(ProgramTest, APlatformWithoutPositionsLeavesTheStoredOneAlone) {
  p.SetKnowsWindowPositions(false);
  WriteConfig(300, 200, 400, 400, 0, 2, 1);
  ASSERT_TRUE(StartUp(p));
  p.SimulateWindowGeometry(shell.mainWindow, 0, 0, 480, 480);
  p.PushEvent(EventId::WindowSize, shell.mainWindow);
  Pump();
  Close();
  ASSERT_TRUE(ended);
  EXPECT_EQ(ConfigValues(), (std::vector<int>{300, 200, 480, 480, 0, 2, 1}));
}

// Maximized while the computer thinks: the window keeps the given size and
// the board fits it at once.
TEST_F(ProgramTest, MaximizedWhileTheComputerThinks) {
  StartPlain();
  Click(Sq("e2"));
  ClickAction("e4")();  // the second click, queued ...
  Maximize(p);          // ... and behind it the maximize, taken by the computer's search
  Pump();
  ASSERT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(p.FindWindow(shell.mainWindow)->width, 1400);
  EXPECT_EQ(shell.boardLeft, 168);
  EXPECT_EQ(shell.squareSize, 133);
  EXPECT_FALSE(CallsOf(LastBoardFrame(), "fill").empty());
}

// Leaving maximize, a window system may tell the normal state before it
// gives the window its normal size back: the window goes back to its own
// square size, not to the largest that fits the maximized one.
TEST_F(ProgramTest, LeavingMaximizeRestoresTheSquareWindowWhateverTheOrder) {
  StartPlain();
  Maximize(p);
  Pump();
  p.SimulateWindowState(shell.mainWindow, WindowState::Normal, 100, 100, 1400, 1068);
  p.PushEvent(EventId::WindowSize, shell.mainWindow);
  Pump();
  const ScriptWindow* w = p.FindWindow(shell.mainWindow);
  EXPECT_EQ(w->width, 400);
  EXPECT_EQ(w->height, 400);
  EXPECT_EQ(settings.windowWidth, 400);
  EXPECT_EQ(shell.squareSize, 50);
  EXPECT_EQ(shell.boardLeft, 0);
}
