// The Win32 platform's windows, widgets and events, driven by real
// messages (run under Wine; see win32_run.sh).
#include <thread>

#include "win32_test_support.h"
#include "win32_text.h"

namespace {

std::wstring TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

RECT ClientOf(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return r;
}

LONG_PTR StyleOf(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE); }

class Win32Windows : public Win32Test {};

TEST_F(Win32Windows, ClientAreasHaveTheAskedSizesForEveryKind) {
  const Handle resizable =
      platform.OpenWindow("Korvin 4", 40, 50, 320, 240, WindowKind::Resizable, 0);
  const Handle fixed =
      platform.OpenWindow("Options", 60, 70, 200, 120, WindowKind::Fixed, resizable);
  const Handle bare = platform.OpenWindow("", 80, 90, 150, 60, WindowKind::Bare, resizable);
  Drain();
  const double scale = platform.ScaleOf(resizable);
  for (const auto& [window, w, h] :
       {std::tuple{resizable, 320, 240}, std::tuple{fixed, 200, 120}, std::tuple{bare, 150, 60}}) {
    EXPECT_EQ(platform.WindowWidth(window), w);
    EXPECT_EQ(platform.WindowHeight(window), h);
    EXPECT_EQ(ClientOf(Hwnd(window)).right, static_cast<LONG>(w * scale));
  }
  EXPECT_TRUE(StyleOf(Hwnd(resizable)) & WS_THICKFRAME);
  EXPECT_TRUE(StyleOf(Hwnd(resizable)) & WS_MAXIMIZEBOX);
  EXPECT_FALSE(StyleOf(Hwnd(fixed)) & WS_THICKFRAME);
  EXPECT_FALSE(StyleOf(Hwnd(fixed)) & WS_MAXIMIZEBOX);
  EXPECT_TRUE(StyleOf(Hwnd(fixed)) & WS_CAPTION);
  EXPECT_FALSE(StyleOf(Hwnd(bare)) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
  EXPECT_EQ(TextOf(Hwnd(fixed)), L"Options");
  EXPECT_EQ(platform.WindowX(bare), 80);
  EXPECT_EQ(platform.WindowY(bare), 90);
}

TEST_F(Win32Windows, DialogsAreOwnedAndGoWithTheirOwner) {
  const Handle main = platform.OpenWindow("Korvin 4", 40, 50, 320, 240, WindowKind::Resizable, 0);
  const Handle dialog = platform.OpenWindow("Options", 60, 70, 200, 120, WindowKind::Fixed, main);
  const Handle inner = platform.OpenWindow("Promotion", 70, 80, 100, 60, WindowKind::Fixed, dialog);
  EXPECT_EQ(GetWindow(Hwnd(dialog), GW_OWNER), Hwnd(main));
  EXPECT_EQ(GetWindow(Hwnd(inner), GW_OWNER), Hwnd(dialog));
  EXPECT_EQ(GetWindow(Hwnd(main), GW_OWNER), nullptr);
  HWND dialogHwnd = Hwnd(dialog), innerHwnd = Hwnd(inner);
  platform.DestroyWindow(main);
  EXPECT_FALSE(IsWindow(dialogHwnd));
  EXPECT_FALSE(IsWindow(innerHwnd));
  EXPECT_EQ(platform.WindowWidth(dialog), 0);  // its handle is gone too
  EXPECT_EQ(platform.OpenWindow("x", 0, 0, 10, 10, WindowKind::Fixed, main) > inner, true);
}

TEST_F(Win32Windows, EveryWindowCarriesTheProgramsIcon) {
  // The test program has no icon resource: the system's default stands in.
  const Handle main = platform.OpenWindow("Korvin 4", 40, 50, 320, 240, WindowKind::Resizable, 0);
  const Handle dialog = platform.OpenWindow("Options", 60, 70, 200, 120, WindowKind::Fixed, main);
  const auto expected = reinterpret_cast<LRESULT>(LoadIconW(nullptr, IDI_APPLICATION));
  EXPECT_EQ(SendMessageW(Hwnd(main), WM_GETICON, ICON_BIG, 0), expected);
  EXPECT_EQ(SendMessageW(Hwnd(dialog), WM_GETICON, ICON_SMALL, 0), expected);
}

TEST_F(Win32Windows, ShapeLimitsAndStates) {
  // Small enough for the screen at a scale of 2.
  const Handle main = platform.OpenWindow("Korvin 4", 40, 50, 220, 220, WindowKind::Resizable, 0);
  const Handle canvas = platform.AddCanvas(main, 0, 0, 200, 210, true);
  Drain();
  platform.SetWindowLimits(main, 200, 200, 300, 300);
  platform.SetWindowShape(main, 60, 70, 250, 250);
  std::vector<Event> events = Drain();
  EXPECT_EQ(CountOf(events, EventId::WindowSize, main), 1);
  EXPECT_EQ(platform.WindowX(main), 60);
  EXPECT_EQ(platform.WindowWidth(main), 250);
  // The anchored canvas kept its distances to the edges.
  EXPECT_EQ(ClientOf(Hwnd(canvas)).right, static_cast<LONG>(230 * platform.ScaleOf(canvas)));
  EXPECT_EQ(ClientOf(Hwnd(canvas)).bottom, static_cast<LONG>(240 * platform.ScaleOf(canvas)));
  platform.SetWindowShape(main, 60, 70, 100, 900);
  EXPECT_EQ(platform.WindowWidth(main), 200);
  EXPECT_EQ(platform.WindowHeight(main), 300);
  MINMAXINFO limits{};
  SendMessageW(Hwnd(main), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(StyleOf(Hwnd(main))), FALSE, 0,
                           GetDpiForWindow(Hwnd(main)));
  EXPECT_EQ(limits.ptMinTrackSize.x,
            static_cast<LONG>(200 * platform.ScaleOf(main)) + frame.right - frame.left);

  EXPECT_TRUE(platform.KnowsWindowPositions());
}

// Run without a window manager (see win32_tests.cmake): under Wine one
// answers state changes later, on its own time, which Windows never does.
class Win32States : public Win32Test {};

TEST_F(Win32States, MaximizedMinimizedAndBack) {
  const Handle main = platform.OpenWindow("Korvin 4", 40, 50, 200, 220, WindowKind::Resizable, 0);
  Drain();
  const ScreenRect normal{platform.WindowX(main), platform.WindowY(main), 200, 220};
  ShowWindow(Hwnd(main), SW_MAXIMIZE);
  Drain();
  EXPECT_EQ(platform.StateOf(main), WindowState::Maximized);
  const ScreenRect kept = platform.NormalGeometry(main);
  EXPECT_EQ(kept.x, normal.x);
  EXPECT_EQ(kept.y, normal.y);
  EXPECT_EQ(kept.width, normal.width);
  EXPECT_EQ(kept.height, normal.height);
  const int maximizedWidth = platform.WindowWidth(main);
  platform.SetWindowShape(main, 0, 0, 300, 300);  // not Normal: ignored
  EXPECT_EQ(platform.WindowWidth(main), maximizedWidth);
  ShowWindow(Hwnd(main), SW_MINIMIZE);
  EXPECT_EQ(platform.StateOf(main), WindowState::Minimized);
  EXPECT_EQ(CountOf(Drain(), EventId::WindowSize, main), 0);  // not while minimised
  ShowWindow(Hwnd(main), SW_RESTORE);                         // back to maximized, as it was
  EXPECT_EQ(CountOf(Drain(), EventId::WindowSize, main), 1);
  EXPECT_EQ(platform.StateOf(main), WindowState::Maximized);
  ShowWindow(Hwnd(main), SW_RESTORE);
  EXPECT_EQ(CountOf(Drain(), EventId::WindowSize, main), 1);
  EXPECT_EQ(platform.StateOf(main), WindowState::Normal);
  EXPECT_EQ(platform.WindowWidth(main), 200);
  // Raising a minimised window shows it again.
  ShowWindow(Hwnd(main), SW_MINIMIZE);
  platform.RaiseWindow(main, "");
  Drain();
  EXPECT_EQ(platform.StateOf(main), WindowState::Normal);
  EXPECT_TRUE(IsWindowVisible(Hwnd(main)));
}

TEST_F(Win32Windows, ScreenAreaLiesOnTheDesktopAndFarPointsFindTheNearest) {
  const ScreenRect area = platform.ScreenArea(10, 10);
  EXPECT_GT(area.width, 0);
  EXPECT_GT(area.height, 0);
  EXPECT_LE(area.width, platform.DesktopWidth());
  EXPECT_LE(area.height, platform.DesktopHeight());
  EXPECT_GT(area.y, 0);  // room for a title bar above the client area
  const ScreenRect distant = platform.ScreenArea(-100000, 500000);
  EXPECT_EQ(distant.x, area.x);
  EXPECT_EQ(distant.width, area.width);
}

class Win32Widgets : public Win32Test {
 protected:
  void SetUp() override {
    window = platform.OpenWindow("Options", 40, 50, 420, 300, WindowKind::Fixed, 0);
  }
  Handle window = 0;
};

TEST_F(Win32Widgets, ControlsShowTheirTextsInTheMessageFont) {
  const Handle label =
      platform.AddLabel(window, 10, 10, 200, 20, "Level: Novice & more", LabelKind::Plain);
  const Handle sunken = platform.AddLabel(window, 10, 40, 200, 20, "Move 1", LabelKind::Sunken);
  const Handle line = platform.AddLabel(window, 10, 70, 200, 2, "ignored", LabelKind::Separator);
  const Handle button = platform.AddButton(window, 10, 80, 120, 28, "Load & Save");
  const Handle box = platform.AddCheckBox(window, 10, 120, 200, 20, "Don't show again");
  EXPECT_EQ(TextOf(Hwnd(label)), L"Level: Novice & more");
  EXPECT_TRUE(StyleOf(Hwnd(label)) & SS_NOPREFIX);
  EXPECT_TRUE(StyleOf(Hwnd(sunken)) & SS_SUNKEN);
  EXPECT_EQ(StyleOf(Hwnd(line)) & SS_TYPEMASK, SS_ETCHEDHORZ);
  EXPECT_EQ(TextOf(Hwnd(button)), L"Load && Save");  // the sign, not a shortcut
  EXPECT_EQ(TextOf(Hwnd(box)), L"Don't show again");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                             GetDpiForWindow(Hwnd(window)));
  for (const Handle control : {label, button, box}) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(control), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight);
  }
  EXPECT_EQ(platform.TextWidth(""), 0);
  EXPECT_GT(platform.TextWidth("WWWW"), platform.TextWidth("iiii"));
}

TEST_F(Win32Widgets, TextTooWideForItsLabelIsSetSmaller) {
  const std::string text = "A long line that cannot fit";
  const Handle narrow =
      platform.AddLabel(window, 10, 10, platform.TextWidth(text) / 2, 20, text, LabelKind::Plain);
  const Handle wide =
      platform.AddLabel(window, 10, 40, platform.TextWidth(text) + 20, 20, text, LabelKind::Plain);
  LOGFONTW small{}, normal{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(narrow), WM_GETFONT, 0, 0)), sizeof small,
             &small);
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(wide), WM_GETFONT, 0, 0)), sizeof normal,
             &normal);
  EXPECT_LT(std::abs(small.lfHeight), std::abs(normal.lfHeight));
}

TEST_F(Win32Widgets, ClicksPressButtonsAndTickTheCheckBox) {
  const Handle button = platform.AddButton(window, 10, 80, 120, 28, "New Game");
  const Handle box = platform.AddCheckBox(window, 10, 120, 200, 20, "Don't show again");
  EXPECT_EQ(platform.CheckBoxState(box), 0);
  SendMessageW(Hwnd(box), BM_CLICK, 0, 0);
  std::vector<Event> events = Drain();
  EXPECT_EQ(platform.CheckBoxState(box), 1);
  EXPECT_EQ(CountOf(events, EventId::GadgetAction, box), 1);
  SendMessageW(Hwnd(box), BM_CLICK, 0, 0);
  EXPECT_EQ(platform.CheckBoxState(box), 0);
  SendMessageW(Hwnd(button), BM_CLICK, 0, 0);
  events = Drain();
  EXPECT_EQ(CountOf(events, EventId::GadgetAction, box), 1);
  EXPECT_EQ(CountOf(events, EventId::GadgetAction, button), 1);
  EXPECT_EQ(platform.CheckBoxState(button), 0);  // not a check box
}

// The colour a button shows, read from its own painting.
COLORREF PaintedColour(HWND button, int x, int y) {
  RECT r = ClientOf(button);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  const COLORREF colour = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return colour;
}

TEST_F(Win32Widgets, ButtonColourIsPainted) {
  const Handle white = platform.AddButton(window, 10, 10, 120, 28, "Novice");
  const Handle red = platform.AddButton(window, 10, 50, 120, 28, "Expert");
  const Handle plain = platform.AddButton(window, 10, 90, 120, 28, "Advanced");
  platform.SetButtonColour(white, 255, 255, 255);
  platform.SetButtonColour(red, 300, 0, -5);  // clamped
  Drain();
  EXPECT_EQ(PaintedColour(Hwnd(white), 4, 4), RGB(255, 255, 255));
  EXPECT_EQ(PaintedColour(Hwnd(red), 4, 4), RGB(255, 0, 0));
  EXPECT_NE(PaintedColour(Hwnd(plain), 4, 4), RGB(255, 255, 255));
  SendMessageW(Hwnd(white), BM_CLICK, 0, 0);  // still a button
  EXPECT_EQ(CountOf(Drain(), EventId::GadgetAction, white), 1);
}

TEST_F(Win32Widgets, OnlyEscapeAndEnterDoAnything) {
  const Handle ok = platform.AddButton(window, 10, 80, 120, 28, "OK");
  const Handle other = platform.AddButton(window, 140, 80, 120, 28, "Cancel");
  const Handle box = platform.AddCheckBox(window, 10, 120, 200, 20, "Don't show again");
  platform.SetDefaultButton(ok);
  Drain();
  for (const Handle target : {other, box}) {
    for (const UINT message : {WM_KEYDOWN, WM_CHAR, WM_KEYUP}) {
      SendMessageW(Hwnd(target), message, message == WM_CHAR ? L' ' : VK_SPACE, 0);
      PostMessageW(Hwnd(target), message, message == WM_CHAR ? L'\t' : VK_TAB, 0);
    }
  }
  std::vector<Event> events = Drain();
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(platform.CheckBoxState(box), 0);
  PostMessageW(Hwnd(other), WM_KEYDOWN, VK_RETURN, 0);
  events = Drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].id, EventId::GadgetAction);
  EXPECT_EQ(events[0].source, ok);
  // Esc closes a Fixed window once; a held key's repeats do nothing.
  PostMessageW(Hwnd(box), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(Hwnd(window), WM_KEYDOWN, VK_ESCAPE, 1 << 30);
  PostMessageW(Hwnd(window), WM_KEYDOWN, VK_ESCAPE, 0);
  platform.ProcessPending();
  EXPECT_TRUE(platform.EndRequested());  // the window has no owner
  events = Drain();
  EXPECT_EQ(CountOf(events, EventId::WindowClose, window), 1);
  EXPECT_EQ(events.size(), 1u);
  // In a resizable window Esc does nothing.
  const Handle board = platform.OpenWindow("Korvin 4", 40, 50, 200, 200, WindowKind::Resizable, 0);
  PostMessageW(Hwnd(board), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(CountOf(Drain(), EventId::WindowClose), 0);
}

class Win32Events : public Win32Test {
 protected:
  void SetUp() override {
    main = platform.OpenWindow("Korvin 4", 40, 50, 240, 240, WindowKind::Resizable, 0);
    canvas = platform.AddCanvas(main, 20, 20, 200, 200, true);
    Drain();
  }
  Handle main = 0, canvas = 0;
};

TEST_F(Win32Events, MouseButtonsAndTheCarriedPiece) {
  HWND c = Hwnd(canvas);
  // Messages carry device pixels; the program sees logical ones.
  const double scale = platform.ScaleOf(canvas);
  const auto at = [scale](int x, int y) {
    return MAKELPARAM(static_cast<int>(x * scale), static_cast<int>(y * scale));
  };
  SendMessageW(c, WM_MOUSEMOVE, 0, at(5, 6));  // no button: only the position
  EXPECT_EQ(platform.PointerX(canvas), 5);
  EXPECT_EQ(platform.PointerY(canvas), 6);
  SendMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, at(10, 20));
  EXPECT_EQ(GetCapture(), c);
  SendMessageW(c, WM_MOUSEMOVE, MK_LBUTTON, at(30, 40));
  SendMessageW(c, WM_MOUSEMOVE, MK_LBUTTON, at(250, -7));  // outside, still held
  EXPECT_EQ(platform.PointerX(canvas), 250);
  EXPECT_EQ(platform.PointerY(canvas), -7);
  SendMessageW(c, WM_LBUTTONUP, 0, at(31, 41));
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageW(c, WM_MOUSEMOVE, 0, at(50, 50));
  PostMessageW(c, WM_RBUTTONDOWN, MK_RBUTTON, at(1, 2));
  PostMessageW(c, WM_RBUTTONUP, 0, at(1, 2));
  PostMessageW(c, WM_MBUTTONDOWN, MK_MBUTTON, at(3, 4));
  const std::vector<Event> events = Drain();
  const std::vector<std::pair<EventId, int>> expected = {
      {EventId::MouseDown, 1}, {EventId::MouseMove, 0}, {EventId::MouseUp, 1},
      {EventId::MouseDown, 2}, {EventId::MouseUp, 2},   {EventId::MouseDown, 3}};
  ASSERT_EQ(events.size(), expected.size());
  for (size_t i = 0; i < events.size(); i++) {
    EXPECT_EQ(events[i].id, expected[i].first) << i;
    EXPECT_EQ(events[i].data, expected[i].second) << i;
    EXPECT_EQ(events[i].source, canvas) << i;
  }
  EXPECT_EQ(platform.PointerX(canvas), 3);
  // A click on the window beside the canvas comes from the window.
  SendMessageW(Hwnd(main), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_EQ(CountOf(Drain(), EventId::MouseDown, main), 1);
}

TEST_F(Win32Events, WheelCountsNotchesAndKeepsTheRemainder) {
  HWND c = Hwnd(canvas);
  SendMessageW(c, WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), 0);
  SendMessageW(c, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);  // half a notch: nothing yet
  std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].data, 2);
  SendMessageW(c, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
  SendMessageW(c, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  events = Drain();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].data, 1);
  EXPECT_EQ(events[1].data, -1);  // towards the user
  // Sent to the window (which has the focus) over the canvas: the canvas's.
  POINT p{50, 50};
  ClientToScreen(c, &p);
  SendMessageW(Hwnd(main), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(p.x, p.y));
  events = Drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].source, canvas);
}

TEST_F(Win32Events, CloseRequestsLeaveTheWindowOpen) {
  const Handle dialog = platform.OpenWindow("Options", 60, 70, 100, 100, WindowKind::Fixed, main);
  PostMessageW(Hwnd(dialog), WM_CLOSE, 0, 0);
  platform.ProcessPending();
  EXPECT_FALSE(platform.EndRequested());  // a dialog's close ends nothing
  std::vector<Event> events = Drain();
  EXPECT_EQ(CountOf(events, EventId::WindowClose, dialog), 1);
  PostMessageW(Hwnd(main), WM_CLOSE, 0, 0);
  platform.ProcessPending();
  EXPECT_TRUE(platform.EndRequested());  // while the request is queued
  events = Drain();
  EXPECT_EQ(CountOf(events, EventId::WindowClose, main), 1);
  EXPECT_TRUE(IsWindow(Hwnd(main)));
  EXPECT_FALSE(platform.EndRequested());
}

TEST_F(Win32Events, PaintsAreMergedAndPresentRaisesNone) {
  InvalidateRect(Hwnd(canvas), nullptr, FALSE);
  std::vector<Event> events = Drain();
  EXPECT_EQ(CountOf(events, EventId::GadgetPaint, canvas), 1);
  // Two expose events before the program looks: one paint event.
  InvalidateRect(Hwnd(canvas), nullptr, FALSE);
  UpdateWindow(Hwnd(canvas));
  InvalidateRect(Hwnd(canvas), nullptr, FALSE);
  UpdateWindow(Hwnd(canvas));
  events = Drain();
  EXPECT_EQ(CountOf(events, EventId::GadgetPaint, canvas), 1);
  EXPECT_EQ(events.size(), 1u);
  platform.SetDrawTarget(canvas);
  platform.Present();
  platform.Present();
  EXPECT_FALSE(PaintOwed(canvas));
}

TEST_F(Win32Events, WaitEventWakesForPostedMessages) {
  std::thread later([hwnd = Hwnd(main)] { PostMessageW(hwnd, WM_CLOSE, 0, 0); });
  const Event event = platform.WaitEvent();
  later.join();
  EXPECT_EQ(event.id, EventId::WindowClose);
  EXPECT_EQ(event.source, main);
}

TEST_F(Win32Events, WatchedHandleIsReadyOncePerWatch) {
  HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE automatic = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  platform.WatchWaitHandle(reinterpret_cast<WaitHandle>(manual), 7);
  platform.WatchWaitHandle(reinterpret_cast<WaitHandle>(automatic), 8);
  EXPECT_TRUE(Drain().empty());
  SetEvent(manual);
  Event event = platform.WaitEvent();
  EXPECT_EQ(event.id, EventId::HandleReady);
  EXPECT_EQ(event.data, 7);
  EXPECT_TRUE(Drain().empty());  // still signalled, but no longer watched
  platform.WatchWaitHandle(reinterpret_cast<WaitHandle>(manual), 9);
  EXPECT_EQ(Drain().size(), 1u);
  // An auto-reset event is reset by the wait that finds it: still one event.
  std::thread signal([automatic] { SetEvent(automatic); });
  event = platform.WaitEvent();
  signal.join();
  EXPECT_EQ(event.id, EventId::HandleReady);
  EXPECT_EQ(event.data, 8);
  // A handle closed while watched is reported rather than waited on forever.
  HANDLE closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  platform.WatchWaitHandle(reinterpret_cast<WaitHandle>(closed), 10);
  CloseHandle(closed);
  event = platform.WaitEvent();
  EXPECT_EQ(event.data, 10);
  CloseHandle(manual);
  CloseHandle(automatic);
}

bool IsClose(const Event& e) { return e.id == EventId::WindowClose; }

TEST_F(Win32Events, SleepIsCutShortByACloseRequest) {
  const Handle dialog = platform.OpenWindow("Options", 60, 70, 100, 100, WindowKind::Fixed, main);
  Drain();
  EXPECT_FALSE(platform.SleepUnless(20, IsClose));
  std::thread later([hwnd = Hwnd(dialog)] { PostMessageW(hwnd, WM_CLOSE, 0, 0); });
  EXPECT_TRUE(platform.SleepUnless(600000, IsClose));  // would fail the run's time limit
  later.join();
  EXPECT_EQ(CountOf(Drain(), EventId::WindowClose, dialog), 1);  // the event stays queued
  // The end requested already (the request queued): at once.
  PostMessageW(Hwnd(main), WM_CLOSE, 0, 0);
  platform.ProcessPending();
  EXPECT_TRUE(platform.SleepUnless(600000, IsClose));
}

TEST_F(Win32Events, BusyPointerOverEveryWindow) {
  const Handle dialog = platform.OpenWindow("Options", 60, 70, 100, 100, WindowKind::Fixed, main);
  const Handle button = platform.AddButton(dialog, 10, 10, 60, 24, "OK");
  HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT), arrow = LoadCursorW(nullptr, IDC_ARROW);
  platform.SetBusy(true);
  for (const Handle over : {canvas, main, button}) {
    SetCursor(arrow);
    SendMessageW(Hwnd(over), WM_SETCURSOR, reinterpret_cast<WPARAM>(Hwnd(over)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), wait) << over;
  }
  platform.SetBusy(false);
  SendMessageW(Hwnd(canvas), WM_SETCURSOR, reinterpret_cast<WPARAM>(Hwnd(canvas)),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), arrow);
}

int savesSeen = 0;
bool endSeenBySave = false;
void CountSave() {
  savesSeen++;
  endSeenBySave = true;
}

TEST_F(Win32Events, SessionEndSavesBeforeAnswering) {
  savesSeen = 0;
  platform.SetSessionEndHandler(CountSave);
  EXPECT_EQ(SendMessageW(Hwnd(main), WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(savesSeen, 0);
  SendMessageW(Hwnd(main), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(savesSeen, 1);  // inside the message, before it was answered
  EXPECT_TRUE(endSeenBySave);
  EXPECT_TRUE(platform.EndRequested());
  const Handle dialog = platform.OpenWindow("Options", 60, 70, 100, 100, WindowKind::Fixed, main);
  SendMessageW(Hwnd(dialog), WM_ENDSESSION, TRUE, 0);  // every window hears of it: once
  EXPECT_EQ(savesSeen, 1);
  EXPECT_EQ(CountOf(Drain(), EventId::AppTerminate), 1);
  platform.SetSessionEndHandler(nullptr);
}

TEST_F(Win32Events, KeyboardGoesToTheNewestDialogAndBack) {
  EXPECT_EQ(GetActiveWindow(), Hwnd(main));
  const Handle dialog = platform.OpenWindow("Options", 60, 70, 100, 100, WindowKind::Fixed, main);
  Drain();
  EXPECT_EQ(GetActiveWindow(), Hwnd(dialog));
  SetActiveWindow(Hwnd(main));  // a click on the board
  Drain();
  EXPECT_EQ(GetActiveWindow(), Hwnd(dialog));
  platform.SetFocus(canvas);
  Drain();
  EXPECT_EQ(GetActiveWindow(), Hwnd(dialog));
  platform.DestroyWindow(dialog);
  Drain();
  EXPECT_EQ(GetActiveWindow(), Hwnd(main));
  platform.SetFocus(canvas);
  EXPECT_EQ(GetFocus(), Hwnd(canvas));
}

TEST_F(Win32Events, QueueHoldsAtMost256Events) {
  for (int i = 0; i < 300; i++) PostMessageW(Hwnd(canvas), WM_RBUTTONDOWN, MK_RBUTTON, 0);
  const std::vector<Event> events = Drain();
  EXPECT_EQ(events.size(), 256u);
  EXPECT_EQ(platform.DroppedEvents(), 44);
}

}  // namespace
