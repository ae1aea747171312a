// The Qt platform under Qt's offscreen platform plugin: synthesized Qt events
// must come out of the queue as platform events, and drawing must reach the
// presented image with the right pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <vector>

#include "qt_platform.h"
#include "qt_test_app.h"
#include "test_images.h"

namespace {

class QtPlatformTest : public testing::Test {
 protected:
  // Lets Qt deliver what is pending and returns every queued event.
  std::vector<Event> Drain() {
    platform.ProcessPending();
    std::vector<Event> events;
    Event e;
    while (platform.PollEvent(e)) events.push_back(e);
    return events;
  }
  static int CountOf(const std::vector<Event>& events, EventId id, Handle source) {
    int n = 0;
    for (const Event& e : events) n += e.id == id && e.source == source;
    return n;
  }
  void Press(QWidget* widget, QPoint at, Qt::MouseButton button) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
  }
  void Wheel(QWidget* widget, int angle, bool inverted = false) {
    QWheelEvent wheel(QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), QPoint(),
                      QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      inverted);
    QApplication::sendEvent(widget, &wheel);
  }

  int argc = 1;
  char name[16] = "platform_tests";
  char* argv[2] = {name, nullptr};
  QtPlatform platform{argc, argv};
};

TEST_F(QtPlatformTest, WindowGeometryAndLimits) {
  EXPECT_GT(platform.DesktopWidth(), 0);
  EXPECT_GT(platform.DesktopHeight(), 0);
  const Handle w = platform.OpenWindow("Korvin 4", 40, 30, 400, 320, WindowKind::Resizable, 0);
  platform.ProcessPending();
  EXPECT_EQ(platform.WindowX(w), 40);
  EXPECT_EQ(platform.WindowY(w), 30);
  EXPECT_EQ(platform.WindowWidth(w), 400);
  EXPECT_EQ(platform.WindowHeight(w), 320);
  EXPECT_EQ(platform.WidgetOf(w)->windowTitle(), "Korvin 4");

  platform.SetWindowLimits(w, 160, 160, 500, 500);
  platform.SetWindowShape(w, 50, 60, 100, 900);
  platform.ProcessPending();
  EXPECT_EQ(platform.WindowWidth(w), 160);
  EXPECT_EQ(platform.WindowHeight(w), 500);
  EXPECT_EQ(platform.WindowX(w), 50);

  const Handle fixed = platform.OpenWindow("Options", 10, 10, 480, 330, WindowKind::Fixed, 0);
  EXPECT_EQ(platform.WidgetOf(fixed)->minimumSize(), QSize(480, 330));
  EXPECT_EQ(platform.WidgetOf(fixed)->maximumSize(), QSize(480, 330));
  const Handle bare = platform.OpenWindow("", 0, 0, 315, 68, WindowKind::Bare, 0);
  EXPECT_TRUE(platform.WidgetOf(bare)->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_FALSE(platform.WidgetOf(w)->windowFlags() & Qt::FramelessWindowHint);

  // Destroying a window takes its widgets and handles with it.
  const Handle button = platform.AddButton(fixed, 25, 25, 100, 25, "New Game");
  QPointer<QWidget> buttonWidget = platform.WidgetOf(button);
  platform.DestroyWindow(fixed);
  EXPECT_TRUE(buttonWidget.isNull());
  EXPECT_EQ(platform.WidgetOf(button), nullptr);
  EXPECT_EQ(platform.WindowWidth(fixed), 0);
  EXPECT_EQ(platform.WindowWidth(w), 160);
}

TEST_F(QtPlatformTest, ResizeReportsSizeAndPaintAndAnchoredCanvasFollows) {
  const Handle w = platform.OpenWindow("Korvin 4", 0, 0, 400, 400, WindowKind::Resizable, 0);
  const Handle anchored = platform.AddCanvas(w, 0, 0, 800, 600, true);
  const Handle loose = platform.AddCanvas(w, 10, 10, 50, 50, false);
  std::vector<Event> events = Drain();
  EXPECT_GE(CountOf(events, EventId::GadgetPaint, anchored), 1);  // first exposure
  EXPECT_EQ(CountOf(events, EventId::WindowSize, w), 0);           // showing is no resize

  platform.SetWindowShape(w, 0, 0, 296, 296);
  events = Drain();
  EXPECT_EQ(CountOf(events, EventId::WindowSize, w), 1);
  EXPECT_GE(CountOf(events, EventId::GadgetPaint, anchored), 1);
  EXPECT_EQ(platform.WidgetOf(anchored)->size(), QSize(800 - 104, 600 - 104));
  EXPECT_EQ(platform.WidgetOf(loose)->size(), QSize(50, 50));

  // A minimised window reports no size change.
  platform.WidgetOf(w)->showMinimized();
  Drain();
  platform.WidgetOf(w)->resize(350, 350);
  events = Drain();
  EXPECT_EQ(CountOf(events, EventId::WindowSize, w), 0);
}

TEST_F(QtPlatformTest, MouseAndWheelBecomeEvents) {
  const Handle w = platform.OpenWindow("Korvin 4", 0, 0, 400, 400, WindowKind::Resizable, 0);
  const Handle canvas = platform.AddCanvas(w, 0, 0, 300, 300, false);
  QWidget* c = platform.WidgetOf(canvas);
  Drain();

  QMouseEvent move(QEvent::MouseMove, QPointF(77, 55), c->mapToGlobal(QPointF(77, 55)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(c, &move);
  EXPECT_EQ(platform.PointerX(canvas), 77);
  EXPECT_EQ(platform.PointerY(canvas), 55);

  Press(c, {10, 290}, Qt::LeftButton);
  Press(c, {20, 30}, Qt::RightButton);
  Press(c, {20, 30}, Qt::MiddleButton);
  Press(c, {20, 30}, Qt::BackButton);                               // not reported
  Press(platform.WidgetOf(w), {350, 350}, Qt::LeftButton);          // beside the canvas
  Wheel(c, 120);
  Wheel(c, -240);
  Wheel(c, 60);  // half a notch: nothing yet
  Wheel(c, 60);  // now one
  std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 7u);
  EXPECT_EQ(events[0].id, EventId::MouseDown);
  EXPECT_EQ(events[0].source, canvas);
  EXPECT_EQ(events[0].data, 1);
  EXPECT_EQ(events[1].data, 2);
  EXPECT_EQ(events[2].data, 3);
  EXPECT_EQ(events[3].source, w);
  EXPECT_EQ(events[3].data, 1);
  EXPECT_EQ(events[4].id, EventId::MouseWheel);
  EXPECT_EQ(events[4].data, 1);
  EXPECT_EQ(events[5].data, -2);
  EXPECT_EQ(events[6].data, 1);
  EXPECT_EQ(platform.PointerX(canvas), 20);  // a press moves the pointer too
}

TEST_F(QtPlatformTest, InvertedWheelCountsTowardsTheUser) {
  const Handle w = platform.OpenWindow("Korvin 4", 0, 0, 200, 200, WindowKind::Resizable, 0);
  const Handle canvas = platform.AddCanvas(w, 0, 0, 200, 200, true);
  Drain();
  Wheel(platform.WidgetOf(canvas), 120, true);
  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].data, -1);
}

TEST_F(QtPlatformTest, ButtonsCheckBoxCloseAndQuit) {
  const Handle w = platform.OpenWindow("Korvin 4", 0, 0, 432, 325, WindowKind::Fixed, 0);
  const Handle ok = platform.AddButton(w, 166, 270, 100, 25, "OK");
  const Handle box = platform.AddCheckBox(w, 25, 220, 200, 25, "Don't show this message again.");
  Drain();
  static_cast<QPushButton*>(platform.WidgetOf(ok))->click();
  static_cast<QCheckBox*>(platform.WidgetOf(box))->click();
  EXPECT_EQ(platform.CheckBoxState(box), 1);
  EXPECT_FALSE(platform.WidgetOf(w)->close());  // refused: the program decides
  EXPECT_TRUE(platform.WidgetOf(w)->isVisible());
  QEvent quit(QEvent::Quit);
  QApplication::sendEvent(qApp, &quit);
  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].id, EventId::GadgetAction);
  EXPECT_EQ(events[0].source, ok);
  EXPECT_EQ(events[1].id, EventId::GadgetAction);
  EXPECT_EQ(events[1].source, box);
  EXPECT_EQ(events[2].id, EventId::WindowClose);
  EXPECT_EQ(events[2].source, w);
  EXPECT_EQ(events[3].id, EventId::AppTerminate);
  EXPECT_EQ(events[3].source, 0);
}

// A fixed dialog declines to be maximized or made full-screen (a title bar
// drawn by Qt offers maximize for every window); a resizable one may be.
TEST_F(QtPlatformTest, AFixedWindowIsNeverMaximized) {
  const Handle main = platform.OpenWindow("Korvin 4", 0, 0, 400, 400, WindowKind::Resizable, 0);
  const Handle dialog = platform.OpenWindow("Options", 0, 0, 480, 330, WindowKind::Fixed, main);
  Drain();
  for (const Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowFullScreen}) {
    platform.WidgetOf(dialog)->setWindowState(state);
    platform.ProcessPending();
    EXPECT_EQ(platform.StateOf(dialog), WindowState::Normal);
    EXPECT_EQ(platform.WindowWidth(dialog), 480);
    EXPECT_EQ(platform.WindowHeight(dialog), 330);
  }
  platform.WidgetOf(main)->setWindowState(Qt::WindowMaximized);
  platform.ProcessPending();
  EXPECT_EQ(platform.StateOf(main), WindowState::Maximized);
}

TEST_F(QtPlatformTest, QueueHoldsAtMost256Events) {
  const Handle w = platform.OpenWindow("Korvin 4", 0, 0, 200, 200, WindowKind::Resizable, 0);
  const Handle canvas = platform.AddCanvas(w, 0, 0, 200, 200, true);
  Drain();
  const int droppedBefore = platform.DroppedEvents();
  for (int i = 0; i < 300; ++i) Wheel(platform.WidgetOf(canvas), i < 256 ? 120 : -120);
  EXPECT_EQ(platform.QueuedEvents(), 256);
  EXPECT_EQ(platform.DroppedEvents() - droppedBefore, 44);
  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 256u);
  for (const Event& e : events) ASSERT_EQ(e.data, 1);  // the late ones were dropped
}

TEST_F(QtPlatformTest, WaitAndPollReceiveInputDeliveredLater) {
  const Handle w = platform.OpenWindow("Korvin 4", 0, 0, 432, 325, WindowKind::Fixed, 0);
  const Handle ok = platform.AddButton(w, 166, 270, 100, 25, "OK");
  auto* button = static_cast<QPushButton*>(platform.WidgetOf(ok));
  Drain();
  QTimer::singleShot(30, button, [button] { button->click(); });
  const Event waited = platform.WaitEvent();
  EXPECT_EQ(waited.id, EventId::GadgetAction);
  EXPECT_EQ(waited.source, ok);

  // The search's poll: Qt input reaches it after a few milliseconds of polls.
  QTimer::singleShot(0, button, [button] { button->click(); });
  Event polled;
  bool found = false;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!found && std::chrono::steady_clock::now() < give_up) found = platform.PollEvent(polled);
  ASSERT_TRUE(found);
  EXPECT_EQ(polled.source, ok);
}

TEST_F(QtPlatformTest, ButtonColourIsShown) {
  const Handle w = platform.OpenWindow("Options", 0, 0, 480, 330, WindowKind::Fixed, 0);
  const Handle expert = platform.AddButton(w, 355, 74, 100, 25, "Expert");
  platform.SetButtonColour(expert, 0, 0, 255);
  const QImage shot = platform.WidgetOf(expert)->grab().toImage();
  const QColor inside = shot.pixelColor(shot.width() / 12, shot.height() / 2);
  EXPECT_GT(inside.blue(), 200);
  EXPECT_LT(inside.red(), 60);
}

// The program takes no keys but two: Esc closes a dialog as its close button
// would (once), Enter presses the default button; Space, Tab and letters do
// nothing, and the main window ignores Esc.
TEST_F(QtPlatformTest, OnlyEscapeAndEnterDoAnything) {
  const Handle main = platform.OpenWindow("Korvin 4", 0, 0, 400, 400, WindowKind::Resizable, 0);
  const Handle dialog = platform.OpenWindow("Korvin 4", 10, 10, 432, 325, WindowKind::Fixed, 0);
  const Handle ok = platform.AddButton(dialog, 166, 270, 100, 25, "OK");
  const Handle box = platform.AddCheckBox(dialog, 25, 220, 200, 25, "Don't show this message again.");
  Drain();
  const auto key = [](QWidget* target, int code, bool repeat = false) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(target, &press);
  };
  QWidget* okWidget = platform.WidgetOf(ok);
  QWidget* boxWidget = platform.WidgetOf(box);
  for (const int code : {int(Qt::Key_Space), int(Qt::Key_Tab), int(Qt::Key_A)}) {
    key(okWidget, code);
    key(boxWidget, code);
  }
  key(platform.WidgetOf(dialog), Qt::Key_Return);  // no default button yet
  key(platform.WidgetOf(main), Qt::Key_Escape);
  EXPECT_TRUE(Drain().empty());
  EXPECT_EQ(platform.CheckBoxState(box), 0);

  platform.SetDefaultButton(ok);
  key(boxWidget, Qt::Key_Enter);
  key(okWidget, Qt::Key_Return, true);  // a held key's repeat counts for nothing
  key(boxWidget, Qt::Key_Escape);
  key(platform.WidgetOf(dialog), Qt::Key_Escape);  // the window is closing already
  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].id, EventId::GadgetAction);
  EXPECT_EQ(events[0].source, ok);
  EXPECT_EQ(events[1].id, EventId::WindowClose);
  EXPECT_EQ(events[1].source, dialog);
}

// Every window shows the program's icon, and the application names the
// desktop file its menu entry comes from.
TEST_F(QtPlatformTest, WindowsCarryTheProgramsIcon) {
  const Handle w = platform.OpenWindow("Options", 0, 0, 480, 330, WindowKind::Fixed, 0);
  const QIcon icon = platform.WidgetOf(w)->windowIcon();
  ASSERT_FALSE(icon.isNull());
  for (const int size : {16, 32, 48, 256})
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
  EXPECT_EQ(QGuiApplication::desktopFileName(), "korvin4");
}

// The requester opens in the documents folder (else home), then in the
// folder of the file chosen last; a path given by the program wins.
TEST_F(QtPlatformTest, FileRequesterStartsInDocumentsThenTheLastFolder) {
  const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
  const std::string home = ScratchPath("home");
  const QString homeDir = QString::fromStdString(home);
  QDir().mkpath(homeDir + "/.config");
  QDir().mkpath(homeDir + "/Papers");
  QDir().mkpath(homeDir + "/games");
  {
    QFile dirs(homeDir + "/.config/user-dirs.dirs");
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
  }
  qputenv("HOME", home.c_str());
  qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(QDir(platform.RequesterFolder()), QDir(homeDir + "/Papers"));
  QDir(homeDir + "/Papers").removeRecursively();
  EXPECT_EQ(QDir(platform.RequesterFolder()), QDir(homeDir));

  // A real requester: it opens where it should, and its choice is kept.
  QString shownIn;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(platform.OpenRequester());
    ASSERT_NE(dialog, nullptr);
    shownIn = dialog->directory().absolutePath();
    dialog->selectFile(homeDir + "/games/first.kga");
    static_cast<QDialog*>(dialog)->accept();  // as the Save button does
  });
  const std::string chosen = platform.RequestFile("Save File", {{"Korvin game", "kga"}}, true, "", 0);
  EXPECT_EQ(QDir(shownIn), QDir(homeDir));
  EXPECT_EQ(QFileInfo(QString::fromStdString(chosen)).fileName(), "first.kga");
  EXPECT_EQ(QDir(platform.RequesterFolder()), QDir(homeDir + "/games"));
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(platform.OpenRequester());
    ASSERT_NE(dialog, nullptr);
    shownIn = dialog->directory().absolutePath();
    dialog->reject();
  });
  EXPECT_EQ(platform.RequestFile("Load File", {{"Korvin game", "kga"}}, false, "", 0), "");
  EXPECT_EQ(QDir(shownIn), QDir(homeDir + "/games"));

  qputenv("HOME", oldHome);
  if (!oldConfig.isNull()) qputenv("XDG_CONFIG_HOME", oldConfig);
}

// Drawing: pictures are written as PNG files, loaded, drawn, presented, and
// the presented image is read back at logical coordinates.
class QtDrawing : public QtPlatformTest {
 protected:
  void SetUp() override {
    window = platform.OpenWindow("Korvin 4", 0, 0, 200, 200, WindowKind::Resizable, 0);
    canvas = platform.AddCanvas(window, 0, 0, 200, 200, true);
    white = Load("white.png", 1, 1, SolidRgba(1, 1, 255, 255, 255, 255));
    red = Load("red.png", 1, 1, SolidRgba(1, 1, 255, 0, 0, 255));
    platform.SetDrawTarget(canvas);
    Drain();
  }
  Handle Load(const std::string& file, int w, int h, const std::vector<uint8_t>& rgba) {
    const std::string path = ScratchPath(file);
    WriteRgbaPng(path, w, h, rgba);
    std::string error;
    const Handle picture = platform.LoadPicture(path, &error);
    EXPECT_NE(picture, 0) << error;
    return picture;
  }
  QColor At(int x, int y) {
    const QImage image = platform.PresentedImage(canvas);
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
  }
  Handle window = 0, canvas = 0, white = 0, red = 0;
};

TEST_F(QtDrawing, StretchedPictureFillsItsRectangle) {
  std::vector<uint8_t> halves = SolidRgba(2, 1, 255, 0, 0, 255);
  halves[4] = 0, halves[6] = 255;  // right pixel blue
  const Handle pair = Load("pair.png", 2, 1, halves);
  platform.DrawPictureStretched(white, 0, 0, 200, 200);
  platform.DrawPictureStretched(pair, 20, 40, 100, 50);
  platform.DrawPicture(red, 150, 150);  // own size: one pixel
  platform.Present();
  EXPECT_EQ(At(30, 60), QColor(255, 0, 0));
  EXPECT_EQ(At(110, 80), QColor(0, 0, 255));
  EXPECT_EQ(At(10, 30), QColor(255, 255, 255));   // outside the rectangle
  EXPECT_EQ(At(121, 60), QColor(255, 255, 255));
  EXPECT_EQ(At(150, 150), QColor(255, 0, 0));
  EXPECT_EQ(At(151, 151), QColor(255, 255, 255));
  // Smooth filtering: the middle of the stretched pair is a mixture.
  const QColor middle = At(70, 65);
  EXPECT_GT(middle.red(), 40);
  EXPECT_GT(middle.blue(), 40);
}

TEST_F(QtDrawing, AlphaBlendsOverWhatIsThere) {
  platform.DrawPictureStretched(white, 0, 0, 200, 200);
  platform.SetDrawAlpha(0.4);
  platform.DrawPictureStretched(red, 0, 0, 50, 50);
  platform.SetDrawAlpha(0.7);
  platform.DrawPictureStretched(red, 50, 0, 50, 50);
  // A half-transparent picture at alpha 0.5 covers a quarter.
  const Handle ghost = Load("ghost.png", 1, 1, SolidRgba(1, 1, 0, 0, 0, 128));
  platform.SetDrawAlpha(0.5);
  platform.DrawPictureStretched(ghost, 100, 0, 50, 50);
  platform.SetDrawAlpha(1.0);
  platform.Present();
  const QColor at40 = At(25, 25), at70 = At(75, 25), quarter = At(125, 25);
  EXPECT_EQ(at40.red(), 255);
  EXPECT_NEAR(at40.green(), 153, 2);  // 0.6 of white stays
  EXPECT_NEAR(at40.blue(), 153, 2);
  EXPECT_NEAR(at70.green(), 77, 2);   // 0.3 of white stays
  EXPECT_NEAR(at70.blue(), 77, 2);
  EXPECT_NEAR(quarter.green(), 191, 2);
  EXPECT_EQ(At(175, 25), QColor(255, 255, 255));
}

TEST_F(QtDrawing, WithoutBlendingPixelsReplaceWhatIsThere) {
  const Handle clear = Load("clear.png", 1, 1, SolidRgba(1, 1, 0, 0, 0, 0));
  platform.DrawPictureStretched(red, 0, 0, 200, 200);
  platform.DrawPictureStretched(clear, 0, 0, 50, 50);  // blended: nothing changes
  platform.SetAlphaBlending(false);
  platform.DrawPictureStretched(clear, 50, 0, 50, 50);  // replaced: transparent
  platform.Present();
  EXPECT_EQ(At(25, 25), QColor(255, 0, 0));
  EXPECT_EQ(platform.PresentedImage(canvas).pixelColor(
                static_cast<int>(75 * platform.PresentedImage(canvas).devicePixelRatio()), 10).alpha(),
            0);
}

TEST_F(QtDrawing, OnlyPresentShowsTheBackBufferAndRaisesNoPaint) {
  platform.DrawPictureStretched(red, 0, 0, 200, 200);
  platform.Present();
  platform.DrawPictureStretched(white, 0, 0, 200, 200);
  EXPECT_EQ(At(100, 100), QColor(255, 0, 0));  // not presented yet
  platform.Present();
  EXPECT_EQ(At(100, 100), QColor(255, 255, 255));
  const std::vector<Event> events = Drain();
  EXPECT_EQ(CountOf(events, EventId::GadgetPaint, canvas), 0);
  // The window system's own repaint is reported.
  platform.WidgetOf(canvas)->update();
  EXPECT_EQ(CountOf(Drain(), EventId::GadgetPaint, canvas), 1);
}

// A picture with a companion of twice its size is drawn from the companion
// where the screen has the pixels for it; a companion of another size is
// not one.
TEST_F(QtDrawing, DoubledCompanionServesDenseScreens) {
  WriteRgbaPng(ScratchPath("logo@2x.png"), 8, 6, SolidRgba(8, 6, 0, 0, 255, 255));
  const Handle logo = Load("logo.png", 4, 3, SolidRgba(4, 3, 255, 0, 0, 255));
  WriteRgbaPng(ScratchPath("odd@2x.png"), 9, 6, SolidRgba(9, 6, 0, 0, 255, 255));
  const Handle odd = Load("odd.png", 4, 3, SolidRgba(4, 3, 255, 0, 0, 255));
  EXPECT_EQ(platform.PictureWidth(logo), 4);  // the program sees one picture
  platform.DrawPicture(logo, 10, 10);
  platform.DrawPicture(odd, 30, 10);
  platform.DrawPictureStretched(logo, 50, 10, 2, 2);  // smaller: the picture itself
  platform.Present();
  const bool dense = platform.PresentedImage(canvas).devicePixelRatio() > 1;
  EXPECT_EQ(At(11, 11), dense ? QColor(0, 0, 255) : QColor(255, 0, 0));
  EXPECT_EQ(At(31, 11), QColor(255, 0, 0));
  EXPECT_EQ(At(51, 11), dense ? QColor(0, 0, 255) : QColor(255, 0, 0));
}

TEST_F(QtDrawing, BufferHasDeviceResolution) {
  const qreal ratio = platform.WidgetOf(canvas)->devicePixelRatioF();
  const char* factor = std::getenv("QT_SCALE_FACTOR");
  if (factor != nullptr) {
    EXPECT_EQ(ratio, std::atof(factor));
  }
  // Vertical one-pixel stripes, 40 wide, stretched into 20 logical pixels.
  std::vector<uint8_t> stripes;
  for (int i = 0; i < 40 * 40; ++i) {
    const uint8_t v = (i % 2) ? 255 : 0;
    stripes.insert(stripes.end(), {v, v, v, 255});
  }
  const Handle picture = Load("stripes.png", 40, 40, stripes);
  platform.DrawPictureStretched(picture, 0, 0, 20, 20);
  platform.Present();
  const QImage image = platform.PresentedImage(canvas);
  EXPECT_EQ(image.width(), static_cast<int>(200 * ratio));
  const int a = image.pixelColor(10, 10).red(), b = image.pixelColor(11, 10).red();
  if (ratio == 2.0) {
    EXPECT_GT(std::abs(a - b), 200);  // each stripe kept its own device pixel
  } else {
    EXPECT_LT(std::abs(a - b), 100);  // two stripes share a pixel
  }
}

}  // namespace

// Screens and window geometry, run on two screens side by side at scale
// factors 1, 1.5 and 2 (see CMakeLists.txt).
class QtScreens : public QtPlatformTest {};

TEST_F(QtScreens, ScreenAreaIsTheScreenUnderThePointOrTheNearest) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  ASSERT_EQ(screens.size(), 2);
  const auto area = [](const QScreen* s) {
    const QRect a = s->availableGeometry();
    return std::vector<int>{a.x(), a.y(), a.width(), a.height()};
  };
  const auto got = [this](int x, int y) {
    const ScreenRect r = platform.ScreenArea(x, y);
    return std::vector<int>{r.x, r.y, r.width, r.height};
  };
  const QRect left = screens[0]->geometry(), right = screens[1]->geometry();
  EXPECT_EQ(got(left.center().x(), left.center().y()), area(screens[0]));
  EXPECT_EQ(got(right.center().x(), right.center().y()), area(screens[1]));
  EXPECT_EQ(got(right.right(), right.bottom()), area(screens[1]));
  EXPECT_EQ(got(-5000, -5000), area(screens[0]));
  EXPECT_EQ(got(right.right() + 5000, 10), area(screens[1]));
  // Extreme values find a screen without overflowing.
  for (const int x : {INT_MIN, INT_MAX})
    for (const int y : {INT_MIN, 0, INT_MAX}) EXPECT_GT(got(x, y)[2], 0);
}

// A window opened where it reported itself stays there, in logical pixels,
// at every scale; and once a framed window is up, the area given for placing
// windows leaves room for the frame, so a window placed in its corner is
// neither moved by the window system nor cut off.
TEST_F(QtScreens, WindowGeometryRoundTripsAtEveryScale) {
  const Handle first = platform.OpenWindow("Korvin 4", 300, 300, 200, 200, WindowKind::Resizable, 0);
  platform.ProcessPending();
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect g = screen->geometry();
    const ScreenRect a = platform.ScreenArea(g.center().x(), g.center().y());
    const int side = std::min(a.width, a.height) / 2 + 1;  // odd, so halves round
    const QPoint corners[] = {{a.x, a.y}, {a.x + a.width - side, a.y}, {a.x, a.y + a.height - side},
                              {a.x + a.width - side, a.y + a.height - side},
                              {a.x + a.width / 3, a.y + a.height / 5}};
    for (const QPoint corner : corners) {
      int x = corner.x(), y = corner.y();
      for (int round = 0; round < 2; round++) {  // open, close, reopen from the report
        const Handle window = platform.OpenWindow("Korvin 4", x, y, side, side, WindowKind::Resizable, 0);
        platform.ProcessPending();
        EXPECT_EQ(platform.WindowX(window), x) << "round " << round;
        EXPECT_EQ(platform.WindowY(window), y) << "round " << round;
        EXPECT_EQ(platform.WindowWidth(window), side);
        EXPECT_EQ(platform.WindowHeight(window), side);
        EXPECT_TRUE(screen->availableGeometry().contains(platform.WidgetOf(window)->frameGeometry()));
        x = platform.WindowX(window), y = platform.WindowY(window);
        platform.DestroyWindow(window);
      }
    }
  }
  platform.DestroyWindow(first);
}
