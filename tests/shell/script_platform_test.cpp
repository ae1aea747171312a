#include <gtest/gtest.h>

#include "event_queue.h"
#include "script_platform.h"
#include "test_images.h"

namespace {

TEST(EventQueue, KeepsOrderAcrossTheRingAndDropsWhenFull) {
  EventQueue queue;
  Event e;
  for (int round = 0; round < 3; ++round) {  // wraps the ring several times
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(queue.Post({EventId::MouseWheel, 1, i}));
    for (int i = 0; i < 200; ++i) {
      ASSERT_TRUE(queue.Pop(e));
      ASSERT_EQ(e.data, i);
    }
  }
  EXPECT_FALSE(queue.Pop(e));
  for (int i = 0; i < 300; ++i) queue.Post({EventId::MouseDown, 2, i});
  EXPECT_EQ(queue.Count(), EventQueue::kCapacity);
  EXPECT_EQ(queue.Dropped(), 300 - EventQueue::kCapacity);
  int last = -1;
  while (queue.Pop(e)) last = e.data;
  EXPECT_EQ(last, EventQueue::kCapacity - 1);  // the newest were dropped, not the oldest
}

// Paint and size events take the older one's place at the back, so a flood
// of them never fills the ring and the latest still follows what came
// between; pointer moves merge only with the newest; AppTerminate is kept
// once.
TEST(EventQueue, MergesRefreshesWithoutReordering) {
  EventQueue queue;
  for (int i = 0; i < 1000; ++i) {
    queue.Post({EventId::GadgetPaint, 5, 0});
    queue.Post({EventId::WindowSize, 4, 0});
  }
  EXPECT_EQ(queue.Count(), 2);
  queue.Post({EventId::MouseDown, 5, 1});
  queue.Post({EventId::GadgetPaint, 5, 0});  // after the click now
  queue.Post({EventId::MouseMove, 5, 0});
  queue.Post({EventId::MouseMove, 5, 0});
  queue.Post({EventId::MouseUp, 5, 1});
  queue.Post({EventId::MouseMove, 5, 0});
  queue.Post({EventId::AppTerminate, 0, 0});
  queue.Post({EventId::AppTerminate, 0, 0});
  const EventId expected[] = {EventId::WindowSize, EventId::MouseDown, EventId::GadgetPaint,
                              EventId::MouseMove,  EventId::MouseUp,   EventId::MouseMove,
                              EventId::AppTerminate};
  Event e;
  for (const EventId id : expected) {
    ASSERT_TRUE(queue.Pop(e));
    EXPECT_EQ(e.id, id);
  }
  EXPECT_FALSE(queue.Pop(e));
  EXPECT_EQ(queue.Dropped(), 0);
}

// A request to end the program that finds the ring full waits behind it and
// comes once everything before it has been taken; the first such request
// counts. A dialog's close request is an ordinary event.
TEST(EventQueue, AnEndRequestIsNeverLostToAFullQueue) {
  EventQueue queue;
  for (int i = 0; i < 300; ++i) queue.Post({EventId::MouseWheel, 1, i});
  EXPECT_EQ(queue.Dropped(), 300 - EventQueue::kCapacity);
  EXPECT_FALSE(queue.EndRequested());
  EXPECT_FALSE(queue.Post({EventId::WindowClose, 7, 0}));  // a dialog's: dropped
  EXPECT_TRUE(queue.Post({EventId::WindowClose, 3, 0}, true));
  EXPECT_TRUE(queue.Post({EventId::AppTerminate, 0, 0}));
  EXPECT_TRUE(queue.EndRequested());
  Event e;
  for (int i = 0; i < EventQueue::kCapacity; ++i) {
    ASSERT_TRUE(queue.Pop(e));
    ASSERT_EQ(e.data, i);
    ASSERT_TRUE(queue.EndRequested());
  }
  ASSERT_TRUE(queue.Pop(e));
  EXPECT_EQ(e.id, EventId::WindowClose);
  EXPECT_EQ(e.source, 3);
  EXPECT_FALSE(queue.EndRequested());
  EXPECT_FALSE(queue.Pop(e));
  // Queued in the ring, a request counts until it is taken.
  queue.Post({EventId::WindowClose, 3, 0}, true);
  EXPECT_TRUE(queue.EndRequested());
  ASSERT_TRUE(queue.Pop(e));
  EXPECT_FALSE(queue.EndRequested());
}

TEST(ScriptPlatform, RecordsWindowsWidgetsAndLimits) {
  ScriptPlatform p;
  p.SetDesktopSize(1280, 1024);
  EXPECT_EQ(p.DesktopWidth(), 1280);
  const Handle main = p.OpenWindow("Korvin 4", 440, 312, 400, 400, WindowKind::Resizable, 0);
  const Handle canvas = p.AddCanvas(main, 0, 0, 1280, 1024, true);
  p.SetWindowLimits(main, 160, 160, 1024, 1024);
  const Handle dialog = p.OpenWindow("Options", 1, 2, 480, 330, WindowKind::Fixed, 0);
  const Handle sep = p.AddLabel(dialog, 25, 62, 430, 1, "", LabelKind::Separator);
  const Handle expert = p.AddButton(dialog, 355, 74, 100, 25, "Expert");
  p.SetButtonColour(expert, 255, 255, 255);
  const Handle box = p.AddCheckBox(dialog, 25, 220, 200, 25, "Don't show");

  EXPECT_NE(main, canvas);
  EXPECT_EQ(p.FindWindowByTitle("Options")->kind, WindowKind::Fixed);
  EXPECT_EQ(p.FindWindow(main)->maxWidth, 1024);
  EXPECT_EQ(p.FindWidget(sep)->labelKind, LabelKind::Separator);
  EXPECT_EQ(p.FindWidgetByText(dialog, "Expert", WidgetKind::Button), expert);
  EXPECT_EQ(p.FindWidgetByText(dialog, "Expert", WidgetKind::Label), 0);
  EXPECT_TRUE(p.FindWidget(expert)->coloured);
  EXPECT_EQ(p.FindWidget(expert)->blue, 255);
  EXPECT_EQ(p.WidgetsOf(dialog).size(), 3u);

  // Check boxes: a click toggles and reports, SetCheckBoxState stays silent.
  Event e;
  while (p.PollEvent(e)) {}
  EXPECT_TRUE(p.ClickWidget(box));
  EXPECT_EQ(p.CheckBoxState(box), 1);
  p.SetCheckBoxState(box, 0);
  ASSERT_TRUE(p.PollEvent(e));
  EXPECT_EQ(e.id, EventId::GadgetAction);
  EXPECT_EQ(e.source, box);
  EXPECT_FALSE(p.PollEvent(e));

  p.DestroyWindow(dialog);
  EXPECT_TRUE(p.FindWindow(dialog)->destroyed);
  EXPECT_TRUE(p.FindWidget(expert)->destroyed);
  EXPECT_EQ(p.CheckBoxState(box), 0);
  EXPECT_EQ(p.Misuses().size(), 1u);  // the read of the destroyed box
  EXPECT_TRUE(p.FindWindow(main) && !p.FindWindow(main)->destroyed);
}

TEST(ScriptPlatform, ShapeIsLimitedAndResizeReportsSizeAndPaint) {
  ScriptPlatform p;
  const Handle w = p.OpenWindow("Korvin 4", 10, 20, 400, 400, WindowKind::Resizable, 0);
  const Handle canvas = p.AddCanvas(w, 0, 0, 1920, 1080, true);
  Event e;
  ASSERT_TRUE(p.PollEvent(e));  // the new canvas's first exposure
  EXPECT_EQ(e.id, EventId::GadgetPaint);
  EXPECT_EQ(e.source, canvas);
  p.SetWindowLimits(w, 160, 160, 1080, 1080);

  p.SetWindowShape(w, 30, 40, 100, 5000);
  EXPECT_EQ(p.WindowX(w), 30);
  EXPECT_EQ(p.WindowWidth(w), 160);
  EXPECT_EQ(p.WindowHeight(w), 1080);
  EXPECT_EQ(p.FindWidget(canvas)->width, 1920 - 240);  // anchored: margins kept
  EXPECT_EQ(p.FindWidget(canvas)->height, 1080 + 680);
  ASSERT_TRUE(p.PollEvent(e));
  EXPECT_EQ(e.id, EventId::WindowSize);
  ASSERT_TRUE(p.PollEvent(e));
  EXPECT_EQ(e.id, EventId::GadgetPaint);
  // The same size again changes nothing and reports nothing.
  p.SetWindowShape(w, 30, 40, 160, 1080);
  EXPECT_FALSE(p.PollEvent(e));

  // A user drag is simulated without an event; the test reports it.
  p.SimulateWindowGeometry(w, 0, 0, 517, 300);
  EXPECT_EQ(p.WindowWidth(w), 517);
  EXPECT_FALSE(p.PollEvent(e));
}

TEST(ScriptPlatform, RecordsDrawingPerPresent) {
  ScriptPlatform p;
  p.SetFakePictureSize(64, 64);
  const Handle light = p.LoadPicture("light.jpg");
  p.SetFakePictureSize(0, 0);
  const std::string real = ScratchPath("piece.png");
  WriteRgbaPng(real, 5, 7, SolidRgba(5, 7, 1, 2, 3, 4));
  const Handle piece = p.LoadPicture(real);
  std::string error;
  EXPECT_EQ(p.LoadPicture(ScratchPath("absent.png"), &error), 0);
  EXPECT_NE(error.find("absent.png"), std::string::npos);
  EXPECT_EQ(p.PictureWidth(light), 64);
  EXPECT_EQ(p.PictureHeight(piece), 7);

  const Handle w = p.OpenWindow("board", 0, 0, 400, 400, WindowKind::Resizable, 0);
  const Handle canvas = p.AddCanvas(w, 0, 0, 400, 400, false);
  p.SetDrawTarget(canvas);
  p.DrawPictureStretched(light, 0, 350, 50, 50);
  p.SetDrawAlpha(0.4);
  p.DrawPicture(piece, 3, 4);
  p.Present();
  p.SetDrawAlpha(1.7);
  p.SetAlphaBlending(false);
  p.DrawPicture(light, 0, 0);
  p.Present();

  ASSERT_EQ(p.Frames().size(), 2u);
  const Frame& first = p.Frames()[0];
  ASSERT_EQ(first.calls.size(), 2u);
  EXPECT_EQ(first.canvas, canvas);
  EXPECT_EQ(first.calls[0].name, "light.jpg");
  EXPECT_TRUE(first.calls[0].stretched);
  EXPECT_EQ(first.calls[0].y, 350);
  EXPECT_EQ(first.calls[0].width, 50);
  EXPECT_DOUBLE_EQ(first.calls[0].alpha, 1.0);
  EXPECT_EQ(first.calls[1].picture, piece);
  EXPECT_EQ(first.calls[1].width, 5);  // own size
  EXPECT_DOUBLE_EQ(first.calls[1].alpha, 0.4);
  const DrawCall& replaced = p.Frames()[1].calls.at(0);
  EXPECT_DOUBLE_EQ(replaced.alpha, 1.0);  // clamped
  EXPECT_FALSE(p.AlphaBlending());
  EXPECT_TRUE(p.Misuses().empty());

  p.DestroyWindow(w);  // the target goes with its window
  EXPECT_EQ(p.DrawTarget(), 0);
  p.DrawPicture(light, 0, 0);
  p.Present();
  EXPECT_EQ(p.Frames().size(), 2u);
  EXPECT_EQ(p.Misuses().size(), 2u);
}

TEST(ScriptPlatform, ScriptedInputFilesAndSleeps) {
  ScriptPlatform p;
  const Handle w = p.OpenWindow("board", 0, 0, 400, 400, WindowKind::Resizable, 0);
  const Handle canvas = p.AddCanvas(w, 0, 0, 400, 400, true);
  p.SetPointer(canvas, 125, 375);
  EXPECT_EQ(p.PointerX(canvas), 125);
  EXPECT_EQ(p.PointerY(canvas), 375);

  p.AnswerFileRequest("/tmp/game.kga");
  const std::vector<FileFilter> kinds = {{"Korvin game", "kga"}};
  EXPECT_EQ(p.RequestFile("Load File", kinds, false, "", 0), "/tmp/game.kga");
  EXPECT_EQ(p.RequestFile("Save File", kinds, true, "", 0), "");  // script ran out: cancel
  ASSERT_EQ(p.FileRequests().size(), 2u);
  EXPECT_TRUE(p.FileRequests()[1].save);
  EXPECT_EQ(p.FileRequests()[1].title, "Save File");

  EXPECT_FALSE(p.SleepUnless(3000, [](const Event&) { return false; }));
  EXPECT_EQ(p.Sleeps(), std::vector<int>{3000});

  // WaitEvent: queued first, then the idle handler, then starvation.
  int idleCalls = 0;
  p.SetIdleHandler([&](ScriptPlatform& platform) {
    if (++idleCalls == 1) platform.PushEvent(EventId::MouseWheel, canvas, -1);
  });
  EXPECT_EQ(p.WaitEvent().id, EventId::GadgetPaint);
  const Event wheel = p.WaitEvent();
  EXPECT_EQ(wheel.id, EventId::MouseWheel);
  EXPECT_EQ(wheel.data, -1);
  EXPECT_EQ(p.WaitEvent().id, EventId::AppTerminate);  // the script ran out

  for (int i = 0; i < 300; ++i) p.PushEvent(EventId::MouseDown, canvas, 1);
  EXPECT_EQ(p.QueuedEvents(), 256);
}

}  // namespace
