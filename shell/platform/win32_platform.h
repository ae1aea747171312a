// The platform on Win32 (see platform.h for the contract), for the Windows
// build, where there is no Qt.
//
// Windows are the system's own (one window class for top-level windows, one
// for canvases); labels, buttons and the check box are the system's STATIC
// and BUTTON controls in the system's message font. Each canvas draws into a
// 32-bit top-down DIB section with the shared drawing core (picture_ops.h),
// so pictures look as they do on Linux. One message loop feeds the one
// event queue; wait handles are waited on together with the messages.
//
// The process is per-monitor DPI aware (the manifest says so): the program
// sees logical pixels, device pixels divided by the window's scale (dpi/96),
// while the back buffers have device resolution.
//
// Files: win32_platform.cpp (set-up, handles, screens), win32_windows.cpp
// (top-level windows, their messages, the keyboard), win32_widgets.cpp
// (controls, fonts, the busy pointer), win32_canvas.cpp (canvases, drawing),
// win32_events.cpp (the message loop, waits, wait handles, keys),
// win32_requester.cpp (the file requester and its question).
#pragma once

#include <windows.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "picture_ops.h"
#include "platform.h"

class Win32Platform : public Platform {
 public:
  // `instance`: the module whose icon resource 1 every window carries
  // (nullptr: the program's own module).
  explicit Win32Platform(HINSTANCE instance = nullptr);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  int DesktopWidth() override;
  int DesktopHeight() override;
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
  bool KnowsWindowPositions() override { return true; }
  void RaiseWindow(Handle window, const std::string& activationToken) override;
  int TextWidth(const std::string& text) override;
  Handle AddLabel(Handle window, int x, int y, int w, int h, const std::string& text,
                  LabelKind kind) override;
  Handle AddButton(Handle window, int x, int y, int w, int h, const std::string& text) override;
  Handle AddCheckBox(Handle window, int x, int y, int w, int h, const std::string& text) override;
  int CheckBoxState(Handle checkBox) override;
  void SetDefaultButton(Handle button) override;
  void SetButtonColour(Handle button, int red, int green, int blue) override;
  Handle AddCanvas(Handle window, int x, int y, int w, int h, bool anchored) override;
  void SetFocus(Handle widget) override;
  void SetBusy(bool busy) override;
  std::string RequestFile(const std::string& title, const std::vector<FileFilter>& filters,
                          bool save, const std::string& initialPath, Handle owner) override;
  Event WaitEvent() override;
  void WatchWaitHandle(WaitHandle handle, int tag) override;
  int PointerX(Handle canvas) override;
  int PointerY(Handle canvas) override;
  bool SleepUnless(int ms, bool (*ends)(const Event&)) override;
  void SetDrawTarget(Handle canvas) override;
  void SetDrawAlpha(double alpha) override;
  void SetAlphaBlending(bool on) override { blending_ = on; }
  void DrawPicture(Handle picture, int x, int y) override;
  void DrawPictureStretched(Handle picture, int x, int y, int w, int h) override;
  void FillRectangle(int x, int y, int w, int h, int red, int green, int blue) override;
  void Present() override;

  // ----- For tests ---------------------------------------------------------
  // The system window behind a handle (window, control or canvas).
  HWND WindowOf(Handle handle) const;
  // What the last Present showed (device pixels).
  Picture PresentedPixels(Handle canvas) const;
  // The window's scale: its dpi / 96.
  double ScaleOf(Handle handle) const;
  int DroppedEvents() const { return queue_.Dropped(); }
  int QueuedEvents() const { return queue_.Count(); }
  // Dispatches every message waiting now, as the next look of PollEvent would.
  void ProcessPending();
  // The folder the next file requester opens in when the program gives no
  // path: the last one used in this run, else the documents folder.
  std::string RequesterFolder() const;
  // The file requester, or its question, while one is open (else nullptr).
  HWND OpenRequester() const;
  // The log-off of the desktop session, as the window system announces it.
  void EndSession() { OnEndSession(); }

 protected:
  void GatherInput() override;

 private:
  enum class Kind { Window, Label, Button, CheckBox, Canvas };
  // A canvas's back buffer and the copy that Present made visible, both
  // DIB sections in device pixels.
  struct Buffer {
    HBITMAP bitmap = nullptr;
    uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    PixelRows Rows() const { return PixelRows{pixels, width, height}; }
  };
  struct Item {
    Kind kind = Kind::Window;
    Handle window = 0;  // the window itself for a window
    HWND hwnd = nullptr;
    // Widgets: the place in logical pixels, kept for a change of scale.
    int x = 0, y = 0, w = 0, h = 0;
    std::wstring text;
    // Windows.
    WindowKind windowKind = WindowKind::Resizable;
    Handle owner = 0;
    Handle defaultButton = 0;
    bool escapePosted = false;        // one Esc closes: later presses would outlive the window
    HWND focus = nullptr;             // the widget that has the keyboard when the window has it
    int minWidth = 0, minHeight = 0;  // logical
    int maxWidth = 1 << 24, maxHeight = 1 << 24;
    // Windows and canvases.
    int wheelRemainder = 0;
    // Buttons.
    bool coloured = false;
    COLORREF colour = 0;
    // Canvases.
    bool anchored = false;
    int rightMargin = 0, bottomMargin = 0;  // logical, kept when anchored
    Buffer back, shown;
    int pointerX = 0, pointerY = 0;
    bool leftHeld = false;  // the left button went down on this canvas
  };
  // The question whether to replace a file, while it is asked.
  struct Question {
    Handle window = 0, yes = 0, no = 0;
    int answer = -1;  // 1 yes, 0 no, -1 not yet
  };

  // win32_platform.cpp
  Item* Find(Handle handle, Kind kind);
  const Item* Find(Handle handle, Kind kind) const;
  Handle HandleOf(HWND hwnd) const;
  Handle AddItem(Item item);
  void RegisterClasses();
  double Scale(HWND hwnd) const;
  int Device(int logical, HWND hwnd) const;
  int Logical(int device, HWND hwnd) const;
  // The monitor holding the logical desktop point (or the nearest) and its scale.
  HMONITOR MonitorAt(int x, int y, double* scale) const;
  static DWORD StyleOf(WindowKind kind, bool owned);
  ScreenRect PrimaryWorkArea() const;

  // win32_windows.cpp
  static Win32Platform* PlatformOf(HWND hwnd, UINT message, LPARAM lParam, Handle& handle);
  ScreenRect ClientArea(Handle window) const;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnWindowMessage(Handle window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void PlaceAnchoredCanvases(Item& window);
  void Rescale(Item& window, const RECT& suggested);
  // The window that should have the keyboard instead of `window`: the open
  // requester, else the newest open dialog of the window (of that dialog,
  // and so on); nullptr when none is open.
  HWND FrontOf(Handle window) const;
  void OnEndSession();

  // win32_widgets.cpp
  HWND AddControl(Handle window, const wchar_t* type, DWORD style, int x, int y, int w, int h,
                  const std::wstring& text, Kind kind, Handle* handle);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
  HFONT FontFor(const Item& control, HWND parent);
  HFONT MessageFont(UINT dpi, int shrink);
  void PlaceControl(const Item& control, HWND parent);
  bool DrawColouredButton(const DRAWITEMSTRUCT& item);
  bool OnSetCursor();

  // win32_canvas.cpp
  static LRESULT CALLBACK CanvasProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCanvasMessage(Handle canvas, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void FitBuffers(Item& canvas);
  void Draw(Handle picture, int x, int y, int w, int h, bool stretched);
  void FreeBuffers(Item& canvas);

  // win32_events.cpp
  // Queues an event; a close request or the end of the session also ends an
  // open file requester, as its Cancel button would, and while it is open
  // input meant for the program's windows is dropped.
  void Post(const Event& event, bool endsProgram = false);
  // Dispatches every waiting message and looks at the watched handles.
  void Pump();
  void CheckWatched(DWORD waitResult);
  // One wait for a message or a watched handle, at most `ms` (INFINITE).
  void WaitForInput(DWORD ms);
  // A key pressed in one of the program's windows: Esc and Enter do their
  // one job, every other key nothing. True when the message was a key.
  bool TakeKey(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  int TakeWheel(int& remainder, WPARAM wParam);

  // win32_requester.cpp
  static UINT_PTR CALLBACK RequesterHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
  bool RequesterEnds() const;
  std::string RunRequester(const std::wstring& title, const std::vector<FileFilter>& filters,
                           bool save, const std::wstring& start, HWND owner);
  bool AskReplace(const std::wstring& path, const std::wstring& title, Handle owner);
  void CancelRequester();

  HINSTANCE instance_;
  HICON icon_ = nullptr;
  std::map<Handle, Item> items_;
  std::map<HWND, Handle> byHwnd_;
  Handle nextHandle_ = 1;
  std::map<Handle, PictureVersions> versions_;
  Handle target_ = 0;
  double alpha_ = 1.0;
  bool blending_ = true;
  bool presenting_ = false;
  bool opening_ = false;  // OpenWindow is creating a window: its first size is no event
  bool busy_ = false;
  bool sessionEnded_ = false;
  std::map<WaitHandle, int> watched_;            // handle -> tag
  std::map<std::pair<UINT, int>, HFONT> fonts_;  // (dpi, shrink) -> message font
  HWND requester_ = nullptr;                     // the system's file dialog while it is open
  bool requesting_ = false;                      // RequestFile is running
  Question question_;
  std::wstring lastFolder_;
  std::chrono::steady_clock::time_point lastGather_;
};
