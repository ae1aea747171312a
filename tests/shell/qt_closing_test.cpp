// The Qt platform lets a close request through where the program waits
// without reading events: the result banner's sleep, and the file
// requester, which runs Qt's own loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <csignal>

#include "qt_platform.h"

namespace {

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
  const Handle window = platform.OpenWindow("Korvin 4", 10, 10, 200, 200, WindowKind::Resizable);
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
  const Handle window = platform.OpenWindow("Korvin 4", 10, 10, 200, 200, WindowKind::Resizable);
  QTimer::singleShot(200, [] { std::raise(SIGTERM); });
  EXPECT_EQ(platform.RequestFile("Load File", {{"Korvin game", "kga"}}, false, ""), "");
  platform.ProcessPending();
  Event event;
  bool terminated = false;
  while (platform.PollEvent(event)) terminated = terminated || event.id == EventId::AppTerminate;
  EXPECT_TRUE(terminated);
  platform.DestroyWindow(window);
}

}  // namespace
