// The platform layer: every window, widget, event, picture and drawing service
// the shell uses, behind one interface. Two implementations exist:
//   QtPlatform     (qt_platform.h)     the real one, on Qt 6 Widgets;
//   ScriptPlatform (tests/support/script_platform.h) a scripted stand-in
//                  for the tests, which records every call and answers
//                  from a script (no display).
// The shell holds one Platform& for the whole run and uses nothing else.
//
// Conventions
// - Coordinates and sizes are pixels of a window's client area (the inside
//   of the frame, without the title bar), with x to the right and y down.
//   Widget and canvas positions are relative to their window's client area;
//   drawing coordinates are relative to the drawing target canvas.
// - On a high-density screen these are logical pixels (device pixels divided
//   by the screen's scale factor), the same on the way in and on the way out,
//   so a window reopened at the position and size it reported is where it was.
// - Handles (platform_types.h) are positive integers, 0 means "none". An
//   operation given an unknown or destroyed handle does nothing and returns
//   0 or "" (the stand-in also counts it as a misuse, see script_platform.h).
// - Everything runs on the thread that created the platform; nothing is
//   re-entrant. The platform calls back into the program only at the end of
//   the desktop session (SetSessionEndHandler): whatever else the user does
//   becomes an event in the one queue, and the program sees it only when it
//   calls WaitEvent or PollEvent.
//
// Events
// - One queue of 256 events serves all windows. Events arriving while it is
//   full are dropped; paint, size and pointer-move events are merged so that
//   they cannot fill it (event_queue.h). Each event has an id, a source
//   handle and one integer (see EventId in platform_types.h for who sends
//   what).
// - A request to end the program (AppTerminate, or a close request of a
//   window without owner: the main window) is never lost to a full queue:
//   it waits behind it and comes after everything queued before it.
// - WaitEvent blocks (without spinning) until an event is there.
// - PollEvent never blocks. It is made to be called at every node of the
//   search: it costs about a nanosecond when nothing is pending. It lets the
//   toolkit gather new input only every few milliseconds of polling (it
//   looks at the clock only once every kPollClockStride calls), so a burst of
//   polls finds new input with a few milliseconds of delay. A loop that waits
//   for input must call WaitEvent, never PollEvent in a loop.
// - GadgetPaint arrives when the window system shows a canvas again (first
//   shown, uncovered, restored, resized), never because of Present: the
//   program answers it by drawing and presenting, which raises no new event.
// - WindowClose leaves the window open: closing is the program's decision
//   (DestroyWindow). AppTerminate comes from the desktop session (log-out,
//   quit request) and from the system's requests to terminate (SIGTERM,
//   SIGINT and SIGHUP; on Windows the end of the session); the window system
//   is not told anything else.
// - A close request on a window is delivered whatever else is open: the
//   file requester never blocks the program's other windows the way a
//   toolkit's modal dialog would.
//
// Keyboard focus
// - A window takes the keyboard when it opens, and a dialog (a window with
//   an owner) keeps it while it is open: activating its owner (a click on
//   it, RaiseWindow, SetFocus of a widget in it) brings the newest open
//   dialog of the owner to the front with the keyboard instead. When a
//   dialog is destroyed its owner gets the keyboard back.
//
// Keys
// - The program takes no keyboard input. Esc in a Fixed window posts
//   WindowClose for it, as its close button does; Enter (or Return) in a
//   window with a default button (SetDefaultButton) posts that button's
//   GadgetAction. Every other key is swallowed: no widget reacts to one.
//
// Drawing
// - Each canvas has a back buffer. SetDrawTarget chooses the canvas that later
//   drawing goes to; DrawPicture and DrawPictureStretched paint into its back
//   buffer with the current alpha (SetDrawAlpha, 1.0 at start) and blending
//   (SetAlphaBlending, on at start); Present shows the whole back buffer at
//   once. The back buffer keeps its content after Present, so a frame may be
//   drawn partly over the previous one. A new canvas starts filled with the
//   window's background colour.
// - Stretched pictures are resampled for the size they are drawn at with an
//   area-averaging filter, so they stay crisp when made much smaller. On a
//   high-density screen the back buffer has device resolution and pictures
//   are resampled for their size in device pixels; a picture "name.ext" with
//   a "name@2x.ext" of twice its size beside it is drawn from that one where
//   the screen has the pixels for it.
// - Pictures are loaded once and live until the platform is destroyed.
#pragma once

#include <string>
#include <vector>

#include "event_queue.h"
#include "picture.h"
#include "platform_types.h"

// One kind of file a requester offers: shown as "Korvin game (*.kga)", or
// "Games (*.kga *.pgn)" for several extensions.
struct FileFilter {
  std::string name;       // "Korvin game"
  std::string extension;  // "kga", without the dot; several apart by spaces
};

class Platform {
 public:
  virtual ~Platform() = default;

  // ----- Desktop ---------------------------------------------------------

  // Size in pixels of the desktop (the primary screen's available area).
  virtual int DesktopWidth() = 0;
  virtual int DesktopHeight() = 0;
  // The available area (without panels and docks) of the screen that holds
  // the desktop point (x, y), or of the screen nearest to it.
  virtual ScreenRect ScreenArea(int x, int y) = 0;

  // ----- Windows ---------------------------------------------------------

  // Creates and shows a top-level window whose client area is w x h at
  // (x, y) on the desktop. A Fixed window cannot be resized by the user and
  // offers no maximize. A window with an `owner` (0: none) is a dialog of
  // it: it stays above its owner, and the window system treats the two as
  // one program window. Creating a window raises no event.
  virtual Handle OpenWindow(const std::string& title, int x, int y, int w, int h,
                            WindowKind kind, Handle owner) = 0;
  // Destroys a window with every widget and canvas in it. Their handles
  // become invalid. If it held the drawing target, there is none afterwards.
  // Events already queued from it stay in the queue with their old source;
  // handles are never reused, so they cannot be taken for a later widget.
  virtual void DestroyWindow(Handle window) = 0;
  // The window's client area: position on the desktop and size.
  virtual int WindowX(Handle window) = 0;
  virtual int WindowY(Handle window) = 0;
  virtual int WindowWidth(Handle window) = 0;
  virtual int WindowHeight(Handle window) = 0;
  // Moves the client area to (x, y) and gives it the size w x h, kept within
  // the window's limits. A change of size is answered by a WindowSize event
  // (and GadgetPaint for its canvases) once the window system has done it.
  // A window whose size the window system decides (not Normal) keeps its
  // size and place: the request is ignored.
  virtual void SetWindowShape(Handle window, int x, int y, int w, int h) = 0;
  // Smallest and largest client size SetWindowShape may give. The window
  // system is told only the smallest, so that it may maximize the window
  // or make it full-screen at any size; the program keeps a normal window
  // within the largest itself.
  virtual void SetWindowLimits(Handle window, int minWidth, int minHeight, int maxWidth,
                               int maxHeight) = 0;
  // Whether the window is shown normally, maximized (or tiled), full-screen
  // or minimised. A change of state that changes the size comes with a
  // WindowSize event.
  virtual WindowState StateOf(Handle window) = 0;
  // The client area the window has in the Normal state: its present one,
  // or the one it returns to from Maximized or FullScreen.
  virtual ScreenRect NormalGeometry(Handle window) = 0;
  // False where the window system keeps the places of windows to itself
  // (Wayland): positions read are meaningless and positions set ignored.
  virtual bool KnowsWindowPositions() = 0;
  // Brings the window to the front and gives it the keyboard, where the
  // window system allows a program to. `activationToken` is a token the
  // desktop handed to a later start of the program ("" for none); some
  // window systems raise a window only with one.
  virtual void RaiseWindow(Handle window, const std::string& activationToken) = 0;

  // ----- Widgets inside a window ------------------------------------------

  // The width in pixels that `text` takes in a label (a label too narrow for
  // its text shows it in a smaller font).
  virtual int TextWidth(const std::string& text) = 0;
  // A text label; a Separator draws a horizontal line across (x, y, w, h).
  virtual Handle AddLabel(Handle window, int x, int y, int w, int h, const std::string& text,
                          LabelKind kind) = 0;
  // A push button; pressing it posts GadgetAction with the button as source.
  virtual Handle AddButton(Handle window, int x, int y, int w, int h,
                           const std::string& text) = 0;
  // A check box, initially unticked; a click toggles it and posts
  // GadgetAction with the box as source.
  virtual Handle AddCheckBox(Handle window, int x, int y, int w, int h,
                             const std::string& text) = 0;
  // 1 when the box is ticked, 0 when not.
  virtual int CheckBoxState(Handle checkBox) = 0;
  // Makes a push button its window's default: Enter in the window presses it.
  virtual void SetDefaultButton(Handle button) = 0;
  // Paints a push button's background in the colour (red, green, blue), 0..255.
  virtual void SetButtonColour(Handle button, int red, int green, int blue) = 0;
  // A drawing canvas at (x, y, w, h). When `anchored`, it keeps its distance
  // to all four edges of the window, so it grows and shrinks with the window.
  virtual Handle AddCanvas(Handle window, int x, int y, int w, int h, bool anchored) = 0;
  // Gives the keyboard focus to a widget and activates its window (or, while
  // the window has a dialog open, that dialog: see "Keyboard focus").
  virtual void SetFocus(Handle widget) = 0;
  // While `busy`, the pointer over every window of the program is the
  // window system's busy pointer.
  virtual void SetBusy(bool busy) = 0;

  // ----- File requester ---------------------------------------------------

  // Asks the user for a file of one of the kinds in `filters`, offered in
  // that order, the first chosen at the start; the requester is a dialog of
  // `owner` (see OpenWindow). `save` chooses a save
  // requester (which adds the chosen kind's extension to a name typed
  // without one) over an open requester. Returns the chosen path, or ""
  // when the user cancelled. Blocks until the requester is closed; events
  // for other windows are queued meanwhile. A WindowClose or AppTerminate
  // arriving meanwhile, or a request to end the program already waiting
  // (EndRequested), cancels the requester as its Cancel button would (the
  // event stays queued for the program); a question the requester asks
  // then (replace the existing file?) is answered "no". Input meant for the program's other windows meanwhile
  // is dropped.
  virtual std::string RequestFile(const std::string& title, const std::vector<FileFilter>& filters,
                                  bool save, const std::string& initialPath, Handle owner) = 0;

  // ----- Events -----------------------------------------------------------

  // Waits until an event is there and takes it. Never returns without one.
  virtual Event WaitEvent() = 0;

  // Takes the oldest pending event into `event` and returns true, or returns
  // false at once when there is none. Cheap enough for every search node.
  bool PollEvent(Event& event) {
    if (--pollCountdown_ <= 0) {
      pollCountdown_ = kPollClockStride;
      GatherInput();
    }
    return queue_.Pop(event);
  }

  // Polls between two looks at the clock in PollEvent.
  static constexpr int kPollClockStride = 64;

  // The most recent pointer position over a canvas, in canvas pixels (it may
  // lie outside the canvas when the pointer left it since).
  virtual int PointerX(Handle canvas) = 0;
  virtual int PointerY(Handle canvas) = 0;

  // Posts one HandleReady event with data `tag` when `handle` is ready (a
  // descriptor has something to read, a Windows handle is signalled). Once
  // posted, the handle is not watched until WatchWaitHandle is called for it
  // again.
  virtual void WatchWaitHandle(WaitHandle handle, int tag) = 0;

  // Waits `ms` milliseconds without handling any input, cut short as soon as
  // a queued event satisfies `ends` (a close request, say) or the end of the
  // program is requested; that event stays queued. True when cut short.
  virtual bool SleepUnless(int ms, bool (*ends)(const Event&)) = 0;

  // ----- The end of the program ---------------------------------------------

  // True while a request to end the program (AppTerminate, a close request
  // of a window without owner) waits to be taken from the queue.
  bool EndRequested() const { return queue_.EndRequested(); }
  // The desktop session is ending (log-off, shutdown): the window system may
  // end the process soon after it has told the program. The platform then
  // calls `save` at once, from inside whatever wait or poll it is in, so
  // that the program can write what it keeps before that; AppTerminate
  // follows in the queue as usual. nullptr: nothing is called.
  void SetSessionEndHandler(void (*save)()) { sessionEnd_ = save; }

  // ----- Pictures ---------------------------------------------------------

  // Loads a JPEG or PNG file (recognised by its content, PNG transparency
  // kept). Returns its handle, or 0 when the file is missing, damaged or too
  // large; then `error`, if given, receives a message naming the file.
  virtual Handle LoadPicture(const std::string& path, std::string* error = nullptr);
  // Size of a loaded picture in pixels (0 for an unknown handle).
  int PictureWidth(Handle picture) const;
  int PictureHeight(Handle picture) const;
  // The decoded picture, or nullptr for an unknown handle.
  const Picture* FindPicture(Handle picture) const;

  // ----- Drawing ----------------------------------------------------------

  // Chooses the canvas that later drawing and Present go to.
  virtual void SetDrawTarget(Handle canvas) = 0;
  // Opacity of later drawing, 0.0 (invisible) to 1.0 (opaque); clamped.
  virtual void SetDrawAlpha(double alpha) = 0;
  // On: pictures are blended over what is there by their alpha times the
  // draw alpha. Off: their pixels replace what is there.
  virtual void SetAlphaBlending(bool on) = 0;
  // Draws a picture with its top-left corner at (x, y), at its own size.
  virtual void DrawPicture(Handle picture, int x, int y) = 0;
  // Draws a picture stretched (smoothly) into the rectangle (x, y, w, h).
  virtual void DrawPictureStretched(Handle picture, int x, int y, int w, int h) = 0;
  // Fills the rectangle (x, y, w, h) with an opaque colour, 0..255 each.
  virtual void FillRectangle(int x, int y, int w, int h, int red, int green, int blue) = 0;
  // Shows the target canvas's back buffer on the screen at once.
  virtual void Present() = 0;

 protected:
  // Gives the toolkit a chance to turn its pending input into queued events
  // when a few milliseconds have passed since it last did. Called by
  // PollEvent once every kPollClockStride polls.
  virtual void GatherInput() = 0;
  // The session ends: AppTerminate is queued (and the end requested), then
  // the program's handler runs.
  void SessionEnding() {
    queue_.Post(Event{EventId::AppTerminate, 0, 0});
    if (sessionEnd_ != nullptr) sessionEnd_();
  }
  // Stores a decoded picture and returns its handle.
  Handle AddPicture(Picture picture);

  EventQueue queue_;

 private:
  void (*sessionEnd_)() = nullptr;
  int pollCountdown_ = kPollClockStride;
  std::vector<Picture> pictures_;  // handle h is pictures_[h - 1]
};
