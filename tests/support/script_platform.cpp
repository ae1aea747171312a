#include "script_platform.h"

#include "wait_handle.h"

#include <algorithm>
#include <cstdint>

// ----- Look-ups -------------------------------------------------------------

const ScriptWindow* ScriptPlatform::FindWindow(Handle window) const {
  for (const ScriptWindow& w : windows_) {
    if (w.handle == window) return &w;
  }
  return nullptr;
}

const ScriptWindow* ScriptPlatform::FindWindowByTitle(const std::string& title) const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if (it->title == title) return &*it;
  }
  return nullptr;
}

const ScriptWidget* ScriptPlatform::FindWidget(Handle widget) const {
  for (const ScriptWidget& w : widgets_) {
    if (w.handle == widget) return &w;
  }
  return nullptr;
}

Handle ScriptPlatform::FindWidgetByText(Handle window, const std::string& text,
                                        WidgetKind kind) const {
  for (const ScriptWidget& w : widgets_) {
    if (w.window == window && w.kind == kind && w.text == text) return w.handle;
  }
  return 0;
}

std::vector<const ScriptWidget*> ScriptPlatform::WidgetsOf(Handle window) const {
  std::vector<const ScriptWidget*> found;
  for (const ScriptWidget& w : widgets_) {
    if (w.window == window) found.push_back(&w);
  }
  return found;
}

// A window that exists and was not destroyed; otherwise the misuse is noted.
ScriptWindow* ScriptPlatform::LiveWindow(Handle window, const char* operation) {
  for (ScriptWindow& w : windows_) {
    if (w.handle == window && !w.destroyed) return &w;
  }
  misuses_.push_back(std::string(operation) + ": no window " + std::to_string(window));
  return nullptr;
}

ScriptWidget* ScriptPlatform::LiveWidget(Handle widget, const char* operation) {
  for (ScriptWidget& w : widgets_) {
    if (w.handle == widget && !w.destroyed) return &w;
  }
  misuses_.push_back(std::string(operation) + ": no widget " + std::to_string(widget));
  return nullptr;
}

// ----- Screens and windows ---------------------------------------------------

// The screen holding the point, else the one nearest to it (counting the
// larger of the horizontal and vertical distances).
ScreenRect ScriptPlatform::ScreenArea(int x, int y) {
  const ScreenRect* best = &screens_[0];
  int64_t bestDistance = INT64_MAX;
  for (const ScreenRect& s : screens_) {
    const int64_t dx = std::max<int64_t>({int64_t{s.x} - x, int64_t{x} - (int64_t{s.x} + s.width - 1), 0});
    const int64_t dy = std::max<int64_t>({int64_t{s.y} - y, int64_t{y} - (int64_t{s.y} + s.height - 1), 0});
    if (std::max(dx, dy) < bestDistance) {
      bestDistance = std::max(dx, dy);
      best = &s;
    }
  }
  return *best;
}

Handle ScriptPlatform::OpenWindow(const std::string& title, int x, int y, int w, int h,
                                  WindowKind kind, Handle owner) {
  if (owner != 0 && LiveWindow(owner, "OpenWindow (owner)") == nullptr) owner = 0;
  ScriptWindow window;
  window.handle = nextHandle_++;
  window.title = title;
  window.x = x, window.y = y, window.width = w, window.height = h;
  window.kind = kind;
  window.owner = owner;
  windows_.push_back(window);
  return window.handle;
}

// Marks the window and its widgets destroyed; they stay in the record.
void ScriptPlatform::DestroyWindow(Handle window) {
  ScriptWindow* w = LiveWindow(window, "DestroyWindow");
  if (w == nullptr) return;
  w->destroyed = true;
  for (ScriptWidget& widget : widgets_) {
    if (widget.window != window) continue;
    widget.destroyed = true;
    if (widget.handle == target_) target_ = 0;
    if (widget.handle == focus_) focus_ = 0;
  }
}

int ScriptPlatform::WindowX(Handle window) {
  const ScriptWindow* w = LiveWindow(window, "WindowX");
  return w ? w->x : 0;
}

int ScriptPlatform::WindowY(Handle window) {
  const ScriptWindow* w = LiveWindow(window, "WindowY");
  return w ? w->y : 0;
}

int ScriptPlatform::WindowWidth(Handle window) {
  const ScriptWindow* w = LiveWindow(window, "WindowWidth");
  return w ? w->width : 0;
}

int ScriptPlatform::WindowHeight(Handle window) {
  const ScriptWindow* w = LiveWindow(window, "WindowHeight");
  return w ? w->height : 0;
}

// Gives the window a new client size; anchored canvases keep their margins.
void ScriptPlatform::ResizeWindow(ScriptWindow& window, int w, int h) {
  for (ScriptWidget& widget : widgets_) {
    if (widget.window == window.handle && widget.anchored && !widget.destroyed) {
      widget.width += w - window.width;
      widget.height += h - window.height;
    }
  }
  window.width = w;
  window.height = h;
}

// Like a window system: the size is kept within the limits and a change of
// size is reported by WindowSize; a window that grows also repaints its
// canvases (a smaller one only cuts off what was shown).
void ScriptPlatform::SetWindowShape(Handle window, int x, int y, int w, int h) {
  ScriptWindow* win = LiveWindow(window, "SetWindowShape");
  if (win == nullptr || win->state != WindowState::Normal) return;
  if (win->minWidth > 0) w = std::max(w, win->minWidth);
  if (win->minHeight > 0) h = std::max(h, win->minHeight);
  if (win->maxWidth > 0) w = std::min(w, win->maxWidth);
  if (win->maxHeight > 0) h = std::min(h, win->maxHeight);
  win->x = x;
  win->y = y;
  if (w == win->width && h == win->height) return;
  const bool grows = w > win->width || h > win->height;
  ResizeWindow(*win, w, h);
  PushEvent(EventId::WindowSize, window);
  if (!grows) return;
  for (const ScriptWidget& widget : widgets_) {
    if (widget.window == window && widget.kind == WidgetKind::Canvas && !widget.destroyed) {
      PushEvent(EventId::GadgetPaint, widget.handle);
    }
  }
}

void ScriptPlatform::SetWindowLimits(Handle window, int minWidth, int minHeight, int maxWidth,
                                     int maxHeight) {
  ScriptWindow* w = LiveWindow(window, "SetWindowLimits");
  if (w == nullptr) return;
  w->minWidth = minWidth, w->minHeight = minHeight;
  w->maxWidth = maxWidth, w->maxHeight = maxHeight;
}

void ScriptPlatform::SimulateWindowGeometry(Handle window, int x, int y, int w, int h) {
  ScriptWindow* win = LiveWindow(window, "SimulateWindowGeometry");
  if (win == nullptr) return;
  win->x = x;
  win->y = y;
  ResizeWindow(*win, w, h);
}

void ScriptPlatform::SimulateWindowState(Handle window, WindowState state, int x, int y, int w,
                                         int h) {
  ScriptWindow* win = LiveWindow(window, "SimulateWindowState");
  if (win == nullptr) return;
  if (win->state == WindowState::Normal && state != WindowState::Normal)
    win->normal = ScreenRect{win->x, win->y, win->width, win->height};
  win->state = state;
  win->x = x;
  win->y = y;
  ResizeWindow(*win, w, h);
}

WindowState ScriptPlatform::StateOf(Handle window) {
  const ScriptWindow* w = LiveWindow(window, "StateOf");
  return w ? w->state : WindowState::Normal;
}

ScreenRect ScriptPlatform::NormalGeometry(Handle window) {
  const ScriptWindow* w = LiveWindow(window, "NormalGeometry");
  if (w == nullptr) return ScreenRect{};
  if (w->state != WindowState::Normal) return w->normal;
  return ScreenRect{w->x, w->y, w->width, w->height};
}

void ScriptPlatform::RaiseWindow(Handle window, const std::string& activationToken) {
  ScriptWindow* w = LiveWindow(window, "RaiseWindow");
  if (w == nullptr) return;
  w->raised++;
  w->activationToken = activationToken;
}

// ----- Widgets --------------------------------------------------------------

Handle ScriptPlatform::AddWidget(Handle window, WidgetKind kind, int x, int y, int w, int h,
                                 const std::string& text) {
  if (LiveWindow(window, "AddWidget") == nullptr) return 0;
  ScriptWidget widget;
  widget.handle = nextHandle_++;
  widget.window = window;
  widget.kind = kind;
  widget.text = text;
  widget.x = x, widget.y = y, widget.width = w, widget.height = h;
  widgets_.push_back(widget);
  return widget.handle;
}

Handle ScriptPlatform::AddLabel(Handle window, int x, int y, int w, int h,
                                const std::string& text, LabelKind kind) {
  const Handle label = AddWidget(window, WidgetKind::Label, x, y, w, h, text);
  if (label != 0) widgets_.back().labelKind = kind;
  return label;
}

Handle ScriptPlatform::AddButton(Handle window, int x, int y, int w, int h,
                                 const std::string& text) {
  return AddWidget(window, WidgetKind::Button, x, y, w, h, text);
}

Handle ScriptPlatform::AddCheckBox(Handle window, int x, int y, int w, int h,
                                   const std::string& text) {
  return AddWidget(window, WidgetKind::CheckBox, x, y, w, h, text);
}

// A new canvas is exposed at once, as on screen: one GadgetPaint.
Handle ScriptPlatform::AddCanvas(Handle window, int x, int y, int w, int h, bool anchored) {
  const Handle canvas = AddWidget(window, WidgetKind::Canvas, x, y, w, h, "");
  if (canvas == 0) return 0;
  widgets_.back().anchored = anchored;
  PushEvent(EventId::GadgetPaint, canvas);
  return canvas;
}

int ScriptPlatform::CheckBoxState(Handle checkBox) {
  const ScriptWidget* w = LiveWidget(checkBox, "CheckBoxState");
  return w ? w->state : 0;
}

void ScriptPlatform::SetCheckBoxState(Handle checkBox, int state) {
  ScriptWidget* w = LiveWidget(checkBox, "SetCheckBoxState");
  if (w != nullptr) w->state = state ? 1 : 0;
}

void ScriptPlatform::SetButtonColour(Handle button, int red, int green, int blue) {
  ScriptWidget* w = LiveWidget(button, "SetButtonColour");
  if (w == nullptr) return;
  w->coloured = true;
  w->red = red, w->green = green, w->blue = blue;
}

void ScriptPlatform::SetDefaultButton(Handle button) {
  ScriptWidget* w = LiveWidget(button, "SetDefaultButton");
  if (w != nullptr) w->isDefault = true;
}

void ScriptPlatform::SetFocus(Handle widget) {
  if (LiveWidget(widget, "SetFocus") != nullptr) focus_ = widget;
}

void ScriptPlatform::SetBusy(bool busy) {
  busy_ = busy;
  busyChanges_.push_back(busy);
}

// ----- File requester, events, pointer ---------------------------------------

std::string ScriptPlatform::RequestFile(const std::string& title,
                                        const std::vector<FileFilter>& filters, bool save,
                                        const std::string& initialPath, Handle owner) {
  fileRequests_.push_back(FileRequest{title, filters, initialPath, save, owner});
  if (requesterHandler_) {
    const auto handler = std::move(requesterHandler_);
    requesterHandler_ = nullptr;
    handler(*this);
  }
  const auto ends = [](const Event& e) {
    return e.id == EventId::AppTerminate || e.id == EventId::WindowClose;
  };
  if (queue_.EndRequested() || queue_.Contains(ends)) return "";
  if (fileAnswers_.empty()) return "";
  const std::string answer = fileAnswers_.front();
  fileAnswers_.pop_front();
  return answer;
}

// A close request of a window without owner ends the program, as on screen.
bool ScriptPlatform::PushEvent(EventId id, Handle source, int data) {
  const ScriptWindow* window = id == EventId::WindowClose ? FindWindow(source) : nullptr;
  const bool ends = window != nullptr && !window->destroyed && window->owner == 0;
  return queue_.Post(Event{id, source, data}, ends);
}

bool ScriptPlatform::ClickWidget(Handle widget) {
  ScriptWidget* w = LiveWidget(widget, "ClickWidget");
  if (w == nullptr) return false;
  if (w->kind == WidgetKind::CheckBox) w->state = 1 - w->state;
  return PushEvent(EventId::GadgetAction, widget);
}

void ScriptPlatform::WatchWaitHandle(WaitHandle handle, int tag) {
  for (Watched& w : watched_) {
    if (w.handle != handle) continue;
    w.tag = tag;
    return;
  }
  watched_.push_back(Watched{handle, tag});
}

// Watched descriptors with something to read are reported once each.
void ScriptPlatform::GatherInput() {
  for (auto it = watched_.begin(); it != watched_.end();) {
    if (WaitHandleReady(it->handle)) {
      PushEvent(EventId::HandleReady, 0, it->tag);
      it = watched_.erase(it);
    } else {
      ++it;
    }
  }
}

// Returns the next queued event; when the script has run out, AppTerminate.
Event ScriptPlatform::WaitEvent() {
  Event event;
  if (queue_.Pop(event)) return event;
  GatherInput();
  if (queue_.Pop(event)) return event;
  if (idle_) idle_(*this);
  if (queue_.Pop(event)) return event;
  GatherInput();
  if (queue_.Pop(event)) return event;
  return Event{EventId::AppTerminate, 0, 0};
}

bool ScriptPlatform::SleepUnless(int ms, bool (*ends)(const Event&)) {
  sleeps_.push_back(ms);
  if (sleepHandler_) sleepHandler_(*this);
  return queue_.EndRequested() || queue_.Contains(ends);
}

void ScriptPlatform::SetPointer(Handle canvas, int x, int y) {
  ScriptWidget* w = LiveWidget(canvas, "SetPointer");
  if (w == nullptr) return;
  w->pointerX = x;
  w->pointerY = y;
}

int ScriptPlatform::PointerX(Handle canvas) {
  const ScriptWidget* w = LiveWidget(canvas, "PointerX");
  return w ? w->pointerX : 0;
}

int ScriptPlatform::PointerY(Handle canvas) {
  const ScriptWidget* w = LiveWidget(canvas, "PointerY");
  return w ? w->pointerY : 0;
}

// ----- Pictures and drawing --------------------------------------------------

// A fake picture is opaque grey; without fakes pictures are decoded.
Handle ScriptPlatform::LoadPicture(const std::string& path, std::string* error) {
  const int width = fakeWidth_, height = fakeHeight_;
  if (width <= 0 || height <= 0) return Platform::LoadPicture(path, error);
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.name = path;
  picture.pixels.assign(static_cast<size_t>(width) * height, 0xFF808080u);
  return AddPicture(std::move(picture));
}

void ScriptPlatform::SetDrawTarget(Handle canvas) {
  const ScriptWidget* w = LiveWidget(canvas, "SetDrawTarget");
  if (w == nullptr) return;
  if (w->kind != WidgetKind::Canvas) {
    misuses_.push_back("SetDrawTarget: widget " + std::to_string(canvas) + " is no canvas");
    return;
  }
  target_ = canvas;
}

void ScriptPlatform::SetDrawAlpha(double alpha) { alpha_ = std::clamp(alpha, 0.0, 1.0); }

void ScriptPlatform::RecordDraw(Handle picture, int x, int y, int w, int h, bool stretched) {
  const Picture* p = FindPicture(picture);
  if (p == nullptr) {
    misuses_.push_back("Draw: no picture " + std::to_string(picture));
    return;
  }
  if (target_ == 0) {
    misuses_.push_back("Draw: no drawing target");
    return;
  }
  pending_.push_back(DrawCall{target_, picture, p->name, x, y, w, h, stretched, alpha_});
}

void ScriptPlatform::DrawPicture(Handle picture, int x, int y) {
  RecordDraw(picture, x, y, PictureWidth(picture), PictureHeight(picture), false);
}

void ScriptPlatform::DrawPictureStretched(Handle picture, int x, int y, int w, int h) {
  RecordDraw(picture, x, y, w, h, true);
}

void ScriptPlatform::FillRectangle(int x, int y, int w, int h, int red, int green, int blue) {
  if (target_ == 0) {
    misuses_.push_back("FillRectangle: no drawing target");
    return;
  }
  DrawCall call{target_, 0, "fill", x, y, w, h, true, 1.0};
  call.red = red, call.green = green, call.blue = blue;
  pending_.push_back(call);
}

// Closes the frame: the calls since the last Present become one Frame.
void ScriptPlatform::Present() {
  if (target_ == 0) {
    misuses_.push_back("Present: no drawing target");
    return;
  }
  frames_.push_back(Frame{target_, std::move(pending_)});
  pending_.clear();
}
