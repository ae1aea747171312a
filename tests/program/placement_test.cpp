// Where the windows open: the main window from any stored geometry, and
// every dialog, wholly inside the available area of the main window's screen,
// at the logical screen sizes of scale factors 1, 1.5 and 2; and the window
// reopens where it was closed.
#include <climits>
#include <cstdint>
#include <sstream>

#include "move_input.h"
#include "program_test_util.h"
#include "window_placement.h"
#include "startup.h"
#include "event_loop.h"
#include "message_window.h"
#include "board_view.h"
#include "shell_state.h"

namespace {

bool Inside(const ScreenRect& area, const ScriptWindow& w) {
  return w.x >= area.x && w.y >= area.y && int64_t{w.x} + w.width <= int64_t{area.x} + area.width &&
         int64_t{w.y} + w.height <= int64_t{area.y} + area.height;
}

std::string Describe(const ScriptWindow& w) {
  std::ostringstream out;
  out << '"' << w.title << "\" at (" << w.x << ", " << w.y << ") " << w.width << " x " << w.height;
  return out.str();
}

// A 1600 x 1200 screen with a 30-pixel panel at the top, in logical pixels
// at a scale factor (1.5 gives 1066 x 800).
ScreenRect ScaledScreen(double scale) {
  return ScreenRect{0, static_cast<int>(30 / scale), static_cast<int>(1600 / scale),
                    static_cast<int>(1170 / scale)};
}

}  // namespace

class PlacementTest : public ProgramTest {
 protected:
  // Opens each of the program's other windows once: Options (closed by its
  // close button), Promotion, the result banner and a message.
  void OpenEveryDialog() {
    actions.push_back([this] {
      p.PushEvent(EventId::WindowClose, p.FindWindowByTitle("Options")->handle);
    });
    p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
    Pump();
    actions.push_back(Press("Promotion", "Queen"));
    AskPromotion();
    ShowResult(3, 3000);
    actions.push_back(Press("Korvin 4", "OK"));
    ShowMessage({"Cannot save \"game.kga\":", "No space left on device"});
  }
  // Every window opened so far lies inside `area`.
  void ExpectAllInside(const ScreenRect& area) {
    for (const ScriptWindow& w : p.Windows()) EXPECT_TRUE(Inside(area, w)) << Describe(w);
  }
  // Starts with the welcome dialog, which is then switched off.
  void StartWithWelcome(int x, int y, int w, int h) {
    WriteConfig(x, y, w, h, 0, 1, 0);
    actions.push_back(Press("Korvin 4", "Don't show this message again.", WidgetKind::CheckBox));
    actions.push_back(Press("Korvin 4", "OK"));
    ASSERT_TRUE(StartUp(p));
  }
};

// ----- Main windows saved past each corner, at scale factors 1, 1.5 and 2 -----

struct CornerCase {
  double scale;
  int corner;  // 0 top left, 1 top right, 2 bottom left, 3 bottom right
};

class CornerPlacementTest : public PlacementTest,
                            public testing::WithParamInterface<CornerCase> {};

TEST_P(CornerPlacementTest, EveryWindowOpensInsideTheScreenAndReopensUnchanged) {
  const ScreenRect area = ScaledScreen(GetParam().scale);
  const int right = area.x + area.width, bottom = area.y + area.height;
  // Saved sticking out 150 pixels past the corner each way.
  const bool east = GetParam().corner % 2 == 1, south = GetParam().corner >= 2;
  p.SetScreens({area});
  StartWithWelcome(east ? right - 250 : -150, south ? bottom - 250 : -150, 400, 400);
  const ScriptWindow main = *p.FindWindow(shell.mainWindow);
  EXPECT_EQ(main.width, 400);
  EXPECT_EQ(main.height, 400);
  // Moved in only as far as needed: it touches the two edges of its corner.
  EXPECT_EQ(main.x, east ? right - 400 : area.x);
  EXPECT_EQ(main.y, south ? bottom - 400 : area.y);
  OpenEveryDialog();
  EXPECT_EQ(p.Windows().size(), 6u);
  ExpectAllInside(area);

  // Closed and reopened: the same place and size, and the same file.
  const int x = main.x, y = main.y;
  Close();
  const std::vector<int> saved = ReadBytes("korvin.cfg");
  ScriptPlatform second;
  Prepare(second);
  second.SetScreens({area});
  ASSERT_TRUE(StartUp(second));
  const ScriptWindow* again = second.FindWindow(shell.mainWindow);
  EXPECT_EQ(again->x, x);
  EXPECT_EQ(again->y, y);
  EXPECT_EQ(again->width, 400);
  EXPECT_EQ(again->height, 400);
  ShutDown();
  EXPECT_EQ(ReadBytes("korvin.cfg"), saved);
}

INSTANTIATE_TEST_SUITE_P(Corners, CornerPlacementTest,
                         testing::Values(CornerCase{1, 0}, CornerCase{1, 1}, CornerCase{1, 2},
                                         CornerCase{1, 3}, CornerCase{1.5, 0}, CornerCase{1.5, 1},
                                         CornerCase{1.5, 2}, CornerCase{1.5, 3}, CornerCase{2, 0},
                                         CornerCase{2, 1}, CornerCase{2, 2}, CornerCase{2, 3}));

// ----- Stored geometries of every kind ---------------------------------------

struct StoredGeometry {
  int x, y, width, height;
};

class StoredPlacementTest : public PlacementTest,
                            public testing::WithParamInterface<StoredGeometry> {};

// Whatever a hand-edited or damaged settings file holds, the window opens
// square, within its limits and on the screen, and is saved back as it was.
TEST_P(StoredPlacementTest, AnyStoredGeometryOpensAWholeSquareWindowOnTheScreen) {
  const ScreenRect area = ScaledScreen(1.0);
  const StoredGeometry g = GetParam();
  p.SetScreens({area});
  WriteConfig(g.x, g.y, g.width, g.height, 0, 1, 1);
  ASSERT_TRUE(StartUp(p));
  const ScriptWindow* main = p.FindWindow(shell.mainWindow);
  EXPECT_TRUE(Inside(area, *main)) << Describe(*main);
  EXPECT_EQ(main->width, main->height);
  EXPECT_GE(main->width, 160);
  EXPECT_LE(main->width, area.height);
  EXPECT_EQ(shell.squareSize, main->width / 8);
  const int x = main->x, y = main->y, side = main->width;
  Close();
  const std::vector<int> bytes = ReadBytes("korvin.cfg");
  ASSERT_EQ(bytes.size(), 28u);
  const auto value = [&bytes](int k) {
    uint32_t u = 0;
    for (int b = 3; b >= 0; b--) u = u << 8 | static_cast<uint32_t>(bytes[4 * k + b]);
    return static_cast<int32_t>(u);
  };
  EXPECT_EQ(value(0), x);
  EXPECT_EQ(value(1), y);
  EXPECT_EQ(value(2), side);
  EXPECT_EQ(value(3), side);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, StoredPlacementTest,
    testing::Values(StoredGeometry{-5000, -5000, 400, 400},
                    StoredGeometry{INT_MIN, INT_MIN, INT_MIN, INT_MIN},
                    StoredGeometry{INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                    StoredGeometry{INT_MIN, INT_MAX, INT_MAX, INT_MIN},
                    StoredGeometry{-9368, -4050, 1024, 160}, StoredGeometry{100, 100, 0, 0},
                    StoredGeometry{1599, 1199, 2000, 300}, StoredGeometry{601, 420, 1000, 1000}));

// ----- Two screens -------------------------------------------------------------

struct TwoScreenCase {
  int x, y;
  bool onRight;  // the screen the windows are expected on
};

class TwoScreenPlacementTest : public PlacementTest,
                               public testing::WithParamInterface<TwoScreenCase> {};

// The dialogs follow the main window's screen; a window stored beyond every
// screen comes back on the nearest one.
TEST_P(TwoScreenPlacementTest, DialogsOpenOnTheScreenOfTheMainWindow) {
  const ScreenRect left{0, 0, 1600, 1200}, right{1600, 0, 1280, 1024};
  p.SetScreens({left, right});
  StartWithWelcome(GetParam().x, GetParam().y, 400, 400);
  OpenEveryDialog();
  ExpectAllInside(GetParam().onRight ? right : left);
}

INSTANTIATE_TEST_SUITE_P(TwoScreens, TwoScreenPlacementTest,
                         testing::Values(TwoScreenCase{2700, 900, true},
                                         TwoScreenCase{1300, 100, false},
                                         TwoScreenCase{9000, 300, true},
                                         TwoScreenCase{-3000, 5000, false}));

TEST_F(PlacementTest, TheWelcomeDialogsOkIsItsDefaultButton) {
  actions.push_back(Press("Korvin 4", "OK"));
  ASSERT_TRUE(StartUp(p));
  const ScriptWindow& welcome = p.Windows()[1];  // after the main window it belongs to
  const ScriptWidget* ok = p.FindWidget(p.FindWidgetByText(welcome.handle, "OK", WidgetKind::Button));
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isDefault);
  for (const ScriptWidget& w : p.Widgets()) EXPECT_EQ(w.isDefault, w.handle == ok->handle);
}

// The arithmetic itself, at the ends of the int range.
TEST(WindowPlacement, MoveInsideAndFitNeverOverflow) {
  const ScreenRect area{-100, 50, 1000, 700};
  int x = INT_MIN, y = INT_MAX;
  MoveInside(area, 300, 200, x, y);
  EXPECT_EQ(x, -100);
  EXPECT_EQ(y, 550);
  x = 5, y = 60;  // already inside: unchanged
  MoveInside(area, 300, 200, x, y);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 60);
  x = 400, y = 400;  // larger than the area: its top-left corner
  MoveInside(area, 2000, 900, x, y);
  EXPECT_EQ(x, -100);
  EXPECT_EQ(y, 50);
  for (const int v : {INT_MIN, -1, 0, 159, 161, INT_MAX}) {
    int fx = v, fy = v, w = v, h = INT_MAX - (v & 1);
    FitMainWindow(area, 1080, fx, fy, w, h);
    EXPECT_EQ(w, h);
    EXPECT_GE(w, kSmallestBoard);
    EXPECT_LE(w, 700);
    EXPECT_GE(fx, area.x);
    EXPECT_LE(fx + w, area.x + area.width);
  }
  EXPECT_EQ(MiddleOf(INT_MAX, INT_MAX), INT_MAX);
  EXPECT_EQ(MiddleOf(INT_MIN, -2), INT_MIN);
  EXPECT_EQ(MiddleOf(100, 400), 300);
}
