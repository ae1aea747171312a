// What the Win32 platform's tests share: a platform with a main window and
// its canvas, and draining the queue after the messages sent so far.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "win32_platform.h"

class Win32Test : public ::testing::Test {
 protected:
  // Every message sent or posted so far is handled; the events it queued
  // are taken.
  std::vector<Event> Drain() {
    platform.ProcessPending();
    std::vector<Event> events;
    Event e;
    while (platform.PollEventNow(e)) events.push_back(e);
    return events;
  }
  static int CountOf(const std::vector<Event>& events, EventId id, Handle source = -1) {
    int n = 0;
    for (const Event& e : events)
      if (e.id == id && (source == -1 || e.source == source)) n++;
    return n;
  }
  HWND Hwnd(Handle handle) const { return platform.WindowOf(handle); }
  // Whether a paint of the canvas is owed: a part of it the window system
  // will ask to be repainted, or a paint event queued. Looked at without
  // handling a message, so that the window system's late repaints of an
  // earlier change (an X server's exposes under Wine) cannot count.
  bool PaintOwed(Handle canvas) {
    return GetUpdateRect(Hwnd(canvas), nullptr, FALSE) ||
           platform.Queued([](const Event& e) { return e.id == EventId::GadgetPaint; });
  }

  class TestPlatform : public Win32Platform {
   public:
    // The queue as it is, without gathering input first.
    bool PollEventNow(Event& e) { return queue_.Pop(e); }
    bool Queued(bool (*match)(const Event&)) const { return queue_.Contains(match); }
  };
  TestPlatform platform;
};
