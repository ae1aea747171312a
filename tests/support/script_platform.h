// A scripted stand-in for the platform, for tests of the window program. It
// needs no display: it keeps a record of every window, widget and drawing
// call, and the test drives it by pushing events, moving the pointer,
// changing a window's geometry as a user would and scripting the answers of
// the file requester. Pictures are decoded from real files, or faked with
// one size for all when the test says so.
//
// Behaviour that mirrors the real platform:
// - A canvas added to a window posts one GadgetPaint (the first exposure).
// - SetWindowShape keeps the size within the window's limits; when the size
//   changes it posts WindowSize for the window, and when it grows also
//   GadgetPaint for each of its canvases; anchored canvases follow the
//   window's size.
// - The queue holds 256 events; pushes beyond that are dropped.
// - ClickWidget ticks or clears a check box before posting GadgetAction, as a
//   real click does.
// - ScreenArea gives the screen holding the point, else the nearest one.
// - SetWindowShape leaves a window that is not in the Normal state alone.
// - A watched wait handle that is ready posts HandleReady once (looked at
//   whenever WaitEvent finds the queue empty).
// - A close request pushed for a window without owner also requests the end
//   of the program (EndRequested).
// What a real platform cannot do:
// - WaitEvent on an empty queue first calls the idle handler (if any), which
//   may push more events. If the queue is still empty the script has run out:
//   WaitEvent returns AppTerminate (source 0), so that the program under
//   test shuts down instead of waiting for ever.
// - SleepUnless returns at once and only records the duration, after
//   running the sleep handler, if any.
// - An operation on an unknown or destroyed handle is recorded in Misuses().
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform.h"

enum class WidgetKind { Label, Button, CheckBox, Canvas };

struct ScriptWindow {
  Handle handle = 0;
  std::string title;
  int x = 0, y = 0, width = 0, height = 0;
  WindowKind kind = WindowKind::Resizable;
  Handle owner = 0;
  int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;  // 0: no limit set
  WindowState state = WindowState::Normal;
  ScreenRect normal;  // the Normal geometry while the state is another
  int raised = 0;     // RaiseWindow calls
  std::string activationToken;  // of the last RaiseWindow
  bool destroyed = false;
};

struct ScriptWidget {
  Handle handle = 0;
  Handle window = 0;
  WidgetKind kind = WidgetKind::Label;
  LabelKind labelKind = LabelKind::Plain;  // labels only
  std::string text;
  int x = 0, y = 0, width = 0, height = 0;
  bool anchored = false;  // canvases only
  bool coloured = false;  // buttons: SetButtonColour was called
  bool isDefault = false; // buttons: SetDefaultButton was called
  int red = 0, green = 0, blue = 0;
  int state = 0;          // check boxes: 1 ticked, 0 not
  int pointerX = 0, pointerY = 0;
  bool destroyed = false;
};

// One DrawPicture, DrawPictureStretched or FillRectangle call.
struct DrawCall {
  Handle canvas = 0;
  Handle picture = 0;
  std::string name;  // the picture's path; "fill" for FillRectangle
  int x = 0, y = 0, width = 0, height = 0;  // destination rectangle
  bool stretched = false;
  double alpha = 1.0;
  int red = 0, green = 0, blue = 0;  // FillRectangle's colour
};

// The drawing calls shown by one Present, in the order they were made.
struct Frame {
  Handle canvas = 0;
  std::vector<DrawCall> calls;
};

struct FileRequest {
  std::string title;
  std::vector<FileFilter> filters;
  std::string initialPath;
  bool save = false;
  Handle owner = 0;
};

class ScriptPlatform : public Platform {
 public:
  // ----- Platform ----------------------------------------------------------
  int DesktopWidth() override { return screens_[0].width; }
  int DesktopHeight() override { return screens_[0].height; }
  ScreenRect ScreenArea(int x, int y) override;
  Handle OpenWindow(const std::string& title, int x, int y, int w, int h, WindowKind kind,
                    Handle owner) override;
  void DestroyWindow(Handle window) override;
  int WindowX(Handle window) override;
  int WindowY(Handle window) override;
  int WindowWidth(Handle window) override;
  int WindowHeight(Handle window) override;
  void SetWindowShape(Handle window, int x, int y, int w, int h) override;
  void SetWindowLimits(Handle window, int minWidth, int minHeight, int maxWidth,
                       int maxHeight) override;
  WindowState StateOf(Handle window) override;
  ScreenRect NormalGeometry(Handle window) override;
  bool KnowsWindowPositions() override { return knowsPositions_; }
  void RaiseWindow(Handle window, const std::string& activationToken) override;
  // Seven pixels a character, as a small dialog font takes.
  int TextWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
  Handle AddLabel(Handle window, int x, int y, int w, int h, const std::string& text,
                  LabelKind kind) override;
  Handle AddButton(Handle window, int x, int y, int w, int h, const std::string& text) override;
  Handle AddCheckBox(Handle window, int x, int y, int w, int h,
                     const std::string& text) override;
  int CheckBoxState(Handle checkBox) override;

  void SetDefaultButton(Handle button) override;
  void SetButtonColour(Handle button, int red, int green, int blue) override;
  Handle AddCanvas(Handle window, int x, int y, int w, int h, bool anchored) override;
  void SetFocus(Handle widget) override;
  void SetBusy(bool busy) override;
  std::string RequestFile(const std::string& title, const std::vector<FileFilter>& filters, bool save,
                          const std::string& initialPath, Handle owner) override;
  Event WaitEvent() override;
  void WatchWaitHandle(WaitHandle handle, int tag) override;
  int PointerX(Handle canvas) override;
  int PointerY(Handle canvas) override;
  bool SleepUnless(int ms, bool (*ends)(const Event&)) override;
  Handle LoadPicture(const std::string& path, std::string* error = nullptr) override;
  void SetDrawTarget(Handle canvas) override;
  void SetDrawAlpha(double alpha) override;
  void SetAlphaBlending(bool on) override { blending_ = on; }
  void DrawPicture(Handle picture, int x, int y) override;
  void DrawPictureStretched(Handle picture, int x, int y, int w, int h) override;
  void FillRectangle(int x, int y, int w, int h, int red, int green, int blue) override;
  void Present() override;

  // ----- Script ------------------------------------------------------------
  // One screen whose available area is width x height at (0, 0).
  void SetDesktopSize(int width, int height) { screens_ = {ScreenRect{0, 0, width, height}}; }
  // The available areas of the screens, the primary one first.
  void SetScreens(const std::vector<ScreenRect>& screens) { screens_ = screens; }
  // Queues an event as the window system would; false when the queue was full.
  bool PushEvent(EventId id, Handle source = 0, int data = 0);
  // Ticks (1) or clears (0) a check box without an event, as a test's set-up.
  void SetCheckBoxState(Handle checkBox, int state);
  // The desktop session ends: the program's session-end handler runs now,
  // and AppTerminate is queued.
  void EndSession() { SessionEnding(); }
  // A user click on a button or check box (a check box toggles first).
  bool ClickWidget(Handle widget);
  // The pointer moved to (x, y) of a canvas.
  void SetPointer(Handle canvas, int x, int y);
  // The user moved or resized the window (no event: push WindowSize to tell).
  void SimulateWindowGeometry(Handle window, int x, int y, int w, int h);
  // The window system maximized the window (or made it full-screen, or
  // normal again) and gave it this client geometry; the Normal geometry is
  // kept for the way back. No event: push WindowSize to tell.
  void SimulateWindowState(Handle window, WindowState state, int x, int y, int w, int h);
  // A window system that keeps window positions to itself (Wayland).
  void SetKnowsWindowPositions(bool knows) { knowsPositions_ = knows; }
  // The next file requester returns `path` ("" for a cancel). Requesters
  // beyond the scripted answers return "".
  void AnswerFileRequest(const std::string& path) { fileAnswers_.push_back(path); }
  // Every picture loads as an opaque grey fake of this size without reading
  // a file (0 x 0: off, files are decoded).
  void SetFakePictureSize(int width, int height) { fakeWidth_ = width, fakeHeight_ = height; }
  // Called by WaitEvent when the queue is empty; may push events.
  void SetIdleHandler(std::function<void(ScriptPlatform&)> handler) { idle_ = std::move(handler); }
  // Called by SleepUnless before it looks at the queue, as if the handler's
  // events arrived during the wait.
  void SetSleepHandler(std::function<void(ScriptPlatform&)> handler) { sleepHandler_ = std::move(handler); }
  // The next file requester is ended by the end of the session: it queues
  // AppTerminate and returns "", as the real requester does.
  void TerminateDuringNextFileRequest() {
    SetRequesterHandler([](ScriptPlatform& p) { p.PushEvent(EventId::AppTerminate); });
  }
  // Called once while the next file requester is open, as if its events
  // arrived meanwhile; a request to end the program among them (or standing
  // already) ends the requester with "", as on screen.
  void SetRequesterHandler(std::function<void(ScriptPlatform&)> handler) {
    requesterHandler_ = std::move(handler);
  }

  // ----- Record ------------------------------------------------------------
  const std::vector<ScriptWindow>& Windows() const { return windows_; }
  const std::vector<ScriptWidget>& Widgets() const { return widgets_; }
  const ScriptWindow* FindWindow(Handle window) const;
  // The most recently opened window with this title, destroyed or not.
  const ScriptWindow* FindWindowByTitle(const std::string& title) const;
  const ScriptWidget* FindWidget(Handle widget) const;
  // The first widget of a window with this text and kind (0 when none).
  Handle FindWidgetByText(Handle window, const std::string& text, WidgetKind kind) const;
  std::vector<const ScriptWidget*> WidgetsOf(Handle window) const;
  const std::vector<Frame>& Frames() const { return frames_; }
  const std::vector<FileRequest>& FileRequests() const { return fileRequests_; }
  const std::vector<int>& Sleeps() const { return sleeps_; }
  const std::vector<std::string>& Misuses() const { return misuses_; }
  Handle Focus() const { return focus_; }
  bool Busy() const { return busy_; }
  // Every SetBusy call, in order.
  const std::vector<bool>& BusyChanges() const { return busyChanges_; }
  // The wait handles watched and not yet reported ready.
  struct Watched {
    WaitHandle handle;
    int tag;
  };
  const std::vector<Watched>& WatchedHandles() const { return watched_; }
  Handle DrawTarget() const { return target_; }
  double DrawAlpha() const { return alpha_; }
  bool AlphaBlending() const { return blending_; }
  int QueuedEvents() const { return queue_.Count(); }

 protected:
  void GatherInput() override;

 private:
  ScriptWindow* LiveWindow(Handle window, const char* operation);
  ScriptWidget* LiveWidget(Handle widget, const char* operation);
  Handle AddWidget(Handle window, WidgetKind kind, int x, int y, int w, int h,
                   const std::string& text);
  void RecordDraw(Handle picture, int x, int y, int w, int h, bool stretched);
  void ResizeWindow(ScriptWindow& window, int w, int h);

  std::vector<ScreenRect> screens_ = {ScreenRect{0, 0, 1920, 1080}};
  Handle nextHandle_ = 1;
  std::vector<ScriptWindow> windows_;
  std::vector<ScriptWidget> widgets_;
  std::deque<std::string> fileAnswers_;
  std::vector<FileRequest> fileRequests_;
  int fakeWidth_ = 0, fakeHeight_ = 0;
  std::function<void(ScriptPlatform&)> idle_;
  std::function<void(ScriptPlatform&)> sleepHandler_;
  std::function<void(ScriptPlatform&)> requesterHandler_;
  std::vector<Frame> frames_;
  std::vector<DrawCall> pending_;
  std::vector<int> sleeps_;
  std::vector<std::string> misuses_;
  Handle focus_ = 0, target_ = 0;
  double alpha_ = 1.0;
  bool blending_ = true;
  bool knowsPositions_ = true;
  bool busy_ = false;
  std::vector<bool> busyChanges_;
  std::vector<Watched> watched_;
};
