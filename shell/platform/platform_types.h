// Plain types of the platform layer: handles, events and the kinds of windows
// and labels. See platform.h for the operations.
#pragma once

#include <cstdint>

// Windows, widgets (labels, buttons, check boxes, canvases) and pictures are
// named by small positive integers. Window and widget handles come from one
// counter and are never reused, so an event's source identifies exactly one
// of them; picture handles have their own counter. 0 is never a valid handle.
using Handle = int;

enum class EventId {
  None = 0,      // not an event; what an empty Event holds
  AppTerminate,  // the desktop session asks the program to quit; source 0
  MouseDown,     // data: 1 left, 2 right, 3 middle; source: canvas, else window
  MouseWheel,    // data: notches, positive when turned away from the user
  GadgetAction,  // a push button was pressed or a check box clicked; source: it
  GadgetPaint,   // a canvas needs repainting (exposed or resized); source: it
  WindowSize,    // a window's client size changed (never while minimised)
  WindowClose,   // the user asks to close a window; it stays open until
                 // the program destroys it with DestroyWindow
  MouseUp,       // data: 1 left, 2 right, 3 middle; source: canvas, else window
  MouseMove,     // the pointer moved over a canvas while the left button was
                 // held down on it; source: the canvas. Several moves in a row
                 // arrive as one: the pointer position is the latest
  HandleReady,   // a watched wait handle is ready (WatchWaitHandle);
                 // source 0, data: the tag it was watched with
};

// How the window system shows a top-level window.
enum class WindowState {
  Normal,      // the size the program gives it
  Maximized,   // the window system decides its size: maximized or tiled
  FullScreen,  // the window system decides its size: the whole screen
  Minimized,
};

// Something of the operating system the event loop can wait on besides the
// window system: a file descriptor on POSIX systems (a socket, a pipe), an
// event, pipe or other waitable HANDLE on Windows. Only the seam that made
// it knows which; the platform only waits on it.
using WaitHandle = intptr_t;

// A rectangle of the desktop in pixels: a screen's available area.
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
};

struct Event {
  EventId id = EventId::None;
  Handle source = 0;
  int data = 0;
};

enum class WindowKind {
  Resizable,  // title bar, frame, the user may resize it
  Fixed,      // title bar, frame, fixed client size
  Bare,       // no title bar and no frame
};

enum class LabelKind {
  Plain,      // left-aligned text
  Sunken,     // left-aligned text in a sunken frame
  Separator,  // a horizontal separator line; the text is ignored
};
