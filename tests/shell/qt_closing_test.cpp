// The Qt platform lets a close request through where the program waits
// without reading events: the result banner's sleep, and the file
// requester, which runs Qt's own loop.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <vector>
#include <csignal>

#include "qt_platform.h"

namespace {

// Types a file name into the requester's name field, as the user would.
void TypeName(QFileDialog* dialog, const QString& name) {
  auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(field, nullptr);
  field->setText(name);
}

// A folder of its own holding "game.kga" with `contents`; removed with the
// object.
struct FolderWithAGame {
  QString folder, game;
  explicit FolderWithAGame(const QByteArray& contents) {
    char pattern[] = "/tmp/korvin-replace-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    folder = pattern;
    game = folder + "/game.kga";
    QFile file(game);
    if (file.open(QIODevice::WriteOnly)) file.write(contents);
  }
  ~FolderWithAGame() {
    if (!folder.isEmpty()) QDir(folder).removeRecursively();
  }
};

bool IsClose(const Event& event) {
  return event.id == EventId::WindowClose || event.id == EventId::AppTerminate;
}

class QtClosing : public testing::Test {
 protected:
  int argc_ = 1;
  char name_[16] = "qt_closing";
  char* argv_[2] = {name_, nullptr};
  QtPlatform platform{argc_, argv_};
};

// A close request made through the window system during a long sleep ends
// it early and stays queued for the program.
TEST_F(QtClosing, CloseRequestCutsTheSleepShort) {
  const Handle window = platform.OpenWindow("Korvin 4", 10, 10, 200, 200, WindowKind::Resizable, 0);
  QWidget* widget = platform.WidgetOf(window);
  QTimer::singleShot(50, widget, [widget] { widget->close(); });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(platform.SleepUnless(20000, IsClose));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  Event event;
  bool queued = false;
  while (platform.PollEvent(event)) queued = queued || (event.id == EventId::WindowClose && event.source == window);
  EXPECT_TRUE(queued);
  // Without a request the sleep lasts its time.
  EXPECT_FALSE(platform.SleepUnless(30, IsClose));
  platform.DestroyWindow(window);
}

// SIGTERM while the requester is open cancels it; AppTerminate stays queued.
TEST_F(QtClosing, TerminationSignalCancelsTheFileRequester) {
  const Handle window = platform.OpenWindow("Korvin 4", 10, 10, 200, 200, WindowKind::Resizable, 0);
  QTimer::singleShot(200, [] { std::raise(SIGTERM); });
  EXPECT_EQ(platform.RequestFile("Load File", {{"Korvin game", "kga"}}, false, "", 0), "");
  platform.ProcessPending();
  Event event;
  bool terminated = false;
  while (platform.PollEvent(event)) terminated = terminated || event.id == EventId::AppTerminate;
  EXPECT_TRUE(terminated);
  platform.DestroyWindow(window);
}

// A close request of the main window reaches the program while the
// requester is open (a modal requester would hold it back until it ended),
// and ends the requester; the request stays queued.
TEST_F(QtClosing, ClosingTheMainWindowEndsTheFileRequester) {
  const Handle window = platform.OpenWindow("Korvin 4", 10, 10, 200, 200, WindowKind::Resizable, 0);
  QWidget* widget = platform.WidgetOf(window);
  QTimer::singleShot(100, widget, [widget] { widget->close(); });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(platform.RequestFile("Save File", {{"Korvin game", "kga"}}, true, "", window), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  Event event;
  bool closed = false;
  while (platform.PollEvent(event)) closed = closed || (event.id == EventId::WindowClose && event.source == window);
  EXPECT_TRUE(closed);
  platform.DestroyWindow(window);
}

// A close request of the main window behind a flood of events while the
// requester is open: a thousand repaints (merged into one), then more
// button presses than the queue holds, then the close request, which finds
// no room. The requester ends all the same, and the request comes last.
TEST_F(QtClosing, ACloseRequestBehindAFullQueueEndsTheRequester) {
  const Handle window = platform.OpenWindow("Korvin 4", 10, 10, 200, 200, WindowKind::Resizable, 0);
  const Handle canvas = platform.AddCanvas(window, 0, 0, 200, 200, true);
  const Handle button = platform.AddButton(window, 0, 0, 50, 20, "OK");
  platform.ProcessPending();
  Event event;
  while (platform.PollEvent(event)) {
  }
  QTimer::singleShot(100, [&] {
    for (int i = 0; i < 1000; i++) platform.WidgetOf(canvas)->repaint();
    for (int i = 0; i < 300; i++) static_cast<QPushButton*>(platform.WidgetOf(button))->click();
    platform.WidgetOf(window)->close();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(platform.RequestFile("Load File", {{"Korvin game", "kga"}}, false, "", window), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(platform.EndRequested());
  // Draining lets Qt deliver more (the uncovering that follows the
  // requester may repaint once again), so the merge is judged on what was
  // queued when the requester ended: those events come out first, the close
  // request waiting behind them.
  const int queued = platform.QueuedEvents() - 1;
  std::vector<Event> events;
  while (platform.PollEvent(event)) events.push_back(event);
  ASSERT_GE(static_cast<int>(events.size()), queued);
  EXPECT_EQ(events.back().id, EventId::WindowClose);
  EXPECT_EQ(events.back().source, window);
  int paints = 0;
  for (int i = 0; i < queued; i++) paints += events[i].id == EventId::GadgetPaint;
  EXPECT_LE(paints, 1);
  EXPECT_GT(platform.DroppedEvents(), 0);
  platform.DestroyWindow(window);
}

// SIGTERM while the requester asks whether to replace an existing file
// answers "no" and ends the requester: the file is not replaced, and the
// program hears of the request.
TEST_F(QtClosing, TerminationAnswersTheReplaceQuestionNo) {
  const FolderWithAGame made("precious");
  ASSERT_FALSE(made.folder.isEmpty());
  const QString& folder = made.folder;
  const QString& existing = made.game;
  const Handle window = platform.OpenWindow("Korvin 4", 10, 10, 200, 200, WindowKind::Resizable, 0);
  bool asked = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(platform.OpenRequester());
    ASSERT_NE(dialog, nullptr);
    TypeName(dialog, "game.kga");
    // Once the question is up, the session ends.
    QTimer::singleShot(200, [&] {
      for (QWidget* top : QApplication::topLevelWidgets())
        asked = asked || (qobject_cast<QMessageBox*>(top) != nullptr && top->isVisible());
      std::raise(SIGTERM);
    });
    static_cast<QDialog*>(dialog)->accept();  // as the Save button does: the question comes up
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(platform.RequestFile("Save File", {{"Korvin game", "kga"}}, true, folder.toStdString(), window), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(asked);
  platform.ProcessPending();
  Event event;
  bool terminated = false;
  while (platform.PollEvent(event)) terminated = terminated || event.id == EventId::AppTerminate;
  EXPECT_TRUE(terminated);
  QFile file(existing);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("precious"));
  for (QWidget* top : QApplication::topLevelWidgets())
    EXPECT_FALSE(qobject_cast<QMessageBox*>(top) != nullptr && top->isVisible());
  platform.DestroyWindow(window);
}

// The question whether to replace a file: "no" goes back to the requester,
// "yes" chooses the file.
TEST_F(QtClosing, ReplacingAFileIsAskedAndNoGoesBackToTheRequester) {
  const FolderWithAGame made("");
  ASSERT_FALSE(made.folder.isEmpty());
  const QString& folder = made.folder;
  const QString& existing = made.game;
  const Handle window = platform.OpenWindow("Korvin 4", 10, 10, 200, 200, WindowKind::Resizable, 0);
  std::vector<QString> answers = {"&No", "&Yes"};
  int asked = 0, shown = 0;
  // Answers each question in turn and chooses the file again after "no".
  std::function<void()> step = [&] {
    QMessageBox* box = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* b = qobject_cast<QMessageBox*>(top); b != nullptr && b->isVisible()) box = b;
    auto* dialog = qobject_cast<QFileDialog*>(platform.OpenRequester());
    if (box != nullptr) {
      const QString answer = answers.at(static_cast<size_t>(asked++));
      for (QAbstractButton* b : box->buttons())
        if (b->text() == answer) b->click();
    } else if (dialog != nullptr && dialog->isVisible()) {
      shown++;
      TypeName(dialog, "game.kga");
      static_cast<QDialog*>(dialog)->accept();
    }
    if (asked < 2) QTimer::singleShot(50, step);
  };
  QTimer::singleShot(50, step);
  const std::string chosen =
      platform.RequestFile("Save File", {{"Korvin game", "kga"}}, true, folder.toStdString(), window);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(shown, 2);  // shown again after "no"
  EXPECT_EQ(QString::fromStdString(chosen), existing);
  platform.DestroyWindow(window);
}

// While the requester is open, clicks on the program's other windows are
// dropped: they would otherwise wait in the queue and act afterwards.
TEST_F(QtClosing, ClicksOnOtherWindowsDuringTheRequesterAreDropped) {
  const Handle window = platform.OpenWindow("Korvin 4", 10, 10, 200, 200, WindowKind::Resizable, 0);
  const Handle canvas = platform.AddCanvas(window, 0, 0, 200, 200, true);
  platform.ProcessPending();
  Event event;
  while (platform.PollEvent(event)) {
  }
  QWidget* board = platform.WidgetOf(canvas);
  QTimer::singleShot(0, [&] {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, 20), board->mapToGlobal(QPointF(20, 20)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(board, &press);
    platform.OpenRequester()->reject();
  });
  EXPECT_EQ(platform.RequestFile("Load File", {{"Korvin game", "kga"}}, false, "", window), "");
  platform.ProcessPending();
  bool clicked = false;
  while (platform.PollEvent(event)) clicked = clicked || event.id == EventId::MouseDown;
  EXPECT_FALSE(clicked);
  platform.DestroyWindow(window);
}

}  // namespace
