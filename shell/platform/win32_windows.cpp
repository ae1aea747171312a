// Win32Platform: top-level windows, their messages and the keyboard's way
// between a window and its dialogs (see win32_platform.h).
#include <windows.h>

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "win32_platform.h"
#include "win32_text.h"

namespace {

// Posted to a window that was activated while a dialog of it is open: the
// keyboard moves on once the activation at hand is over.
constexpr UINT kPassKeyboard = WM_APP + 1;

RECT FrameAround(HWND hwnd, UINT dpi) {
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)), dpi);
  return frame;
}

UINT DpiOf(HWND hwnd) {
  const UINT dpi = GetDpiForWindow(hwnd);
  return dpi != 0 ? dpi : 96;
}

}  // namespace

// A dialog (a window with an owner) is owned by it: it stays above it and
// the two have one task bar button. The window takes the keyboard at once.
Handle Win32Platform::OpenWindow(const std::string& title, int x, int y, int w, int h,
                                 WindowKind kind, Handle owner) {
  const Item* ownerItem = Find(owner, Kind::Window);
  HWND ownerHwnd = ownerItem != nullptr ? ownerItem->hwnd : nullptr;
  const DWORD style = StyleOf(kind, ownerHwnd != nullptr);
  double scale = 1.0;
  MonitorAt(x, y, &scale);
  const auto device = [scale](int v) { return static_cast<LONG>(std::lround(v * scale)); };
  RECT r{device(x), device(y), device(x) + device(std::max(w, 1)),
         device(y) + device(std::max(h, 1))};
  AdjustWindowRectExForDpi(&r, style, FALSE, 0, static_cast<UINT>(std::lround(scale * 96)));
  opening_ = true;
  HWND hwnd = CreateWindowExW(0, L"Korvin4Window", WideFromUtf8(title).c_str(), style, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, ownerHwnd, nullptr,
                              GetModuleHandleW(nullptr), this);
  if (hwnd == nullptr) {
    opening_ = false;
    return 0;
  }
  Item item;
  item.kind = Kind::Window;
  item.hwnd = hwnd;
  item.windowKind = kind;
  item.owner = ownerHwnd != nullptr ? owner : 0;
  const Handle handle = AddItem(std::move(item));
  SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  opening_ = false;
  return handle;
}

// Its dialogs go first; the owner (or its next open dialog) gets the
// keyboard back.
void Win32Platform::DestroyWindow(Handle window) {
  Item* item = Find(window, Kind::Window);
  if (item == nullptr) return;
  std::vector<Handle> dialogs;
  for (const auto& [handle, other] : items_)
    if (other.kind == Kind::Window && other.owner == window) dialogs.push_back(handle);
  for (const Handle dialog : dialogs) DestroyWindow(dialog);
  const Handle owner = item->owner;
  HWND hwnd = item->hwnd;
  std::vector<Buffer> buffers;
  for (auto it = items_.begin(); it != items_.end();) {
    if (it->second.window != window) {
      ++it;
      continue;
    }
    if (it->first == target_) target_ = 0;
    buffers.push_back(it->second.back);
    buffers.push_back(it->second.shown);
    byHwnd_.erase(it->second.hwnd);
    it = items_.erase(it);
  }
  ::DestroyWindow(hwnd);
  for (const Buffer& buffer : buffers)
    if (buffer.bitmap != nullptr) DeleteObject(buffer.bitmap);
  const Item* ownerItem = Find(owner, Kind::Window);
  if (ownerItem != nullptr && IsWindowVisible(ownerItem->hwnd)) {
    HWND front = FrontOf(owner);
    SetForegroundWindow(front != nullptr ? front : ownerItem->hwnd);
  }
}

// The client area on the desktop, in logical pixels (all 0 for no window).
ScreenRect Win32Platform::ClientArea(Handle window) const {
  const Item* item = Find(window, Kind::Window);
  RECT client{};
  POINT origin{0, 0};
  if (item == nullptr || !GetClientRect(item->hwnd, &client) || !ClientToScreen(item->hwnd, &origin))
    return ScreenRect{};
  return ScreenRect{Logical(origin.x, item->hwnd), Logical(origin.y, item->hwnd),
                    Logical(client.right, item->hwnd), Logical(client.bottom, item->hwnd)};
}

int Win32Platform::WindowX(Handle window) { return ClientArea(window).x; }
int Win32Platform::WindowY(Handle window) { return ClientArea(window).y; }
int Win32Platform::WindowWidth(Handle window) { return ClientArea(window).width; }
int Win32Platform::WindowHeight(Handle window) { return ClientArea(window).height; }

// A maximized or full-screen window keeps the size the window system gave it.
void Win32Platform::SetWindowShape(Handle window, int x, int y, int w, int h) {
  const Item* item = Find(window, Kind::Window);
  if (item == nullptr || StateOf(window) != WindowState::Normal) return;
  w = std::clamp(w, std::max(item->minWidth, 1), std::max(item->maxWidth, item->minWidth));
  h = std::clamp(h, std::max(item->minHeight, 1), std::max(item->maxHeight, item->minHeight));
  const RECT frame = FrameAround(item->hwnd, DpiOf(item->hwnd));
  const int left = Device(x, item->hwnd) + frame.left, top = Device(y, item->hwnd) + frame.top;
  SetWindowPos(item->hwnd, nullptr, left, top, Device(w, item->hwnd) + frame.right - frame.left,
               Device(h, item->hwnd) + frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Only the smallest size is the window system's (WM_GETMINMAXINFO).
void Win32Platform::SetWindowLimits(Handle window, int minWidth, int minHeight, int maxWidth,
                                    int maxHeight) {
  Item* item = Find(window, Kind::Window);
  if (item == nullptr) return;
  item->minWidth = std::max(minWidth, 0);
  item->minHeight = std::max(minHeight, 0);
  item->maxWidth = std::max(maxWidth, item->minWidth);
  item->maxHeight = std::max(maxHeight, item->minHeight);
}

// Full screen: a window without a title bar that covers its whole monitor.
WindowState Win32Platform::StateOf(Handle window) {
  const Item* item = Find(window, Kind::Window);
  if (item == nullptr) return WindowState::Normal;
  if (IsIconic(item->hwnd)) return WindowState::Minimized;
  if (IsZoomed(item->hwnd)) return WindowState::Maximized;
  MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
  RECT r{};
  const auto style = GetWindowLongPtrW(item->hwnd, GWL_STYLE);
  if (!(style & WS_CAPTION) && GetWindowRect(item->hwnd, &r) &&
      GetMonitorInfoW(MonitorFromWindow(item->hwnd, MONITOR_DEFAULTTONEAREST), &info) &&
      EqualRect(&r, &info.rcMonitor) && item->windowKind != WindowKind::Bare)
    return WindowState::FullScreen;
  return WindowState::Normal;
}

// The placement's normal rectangle is the frame's, in work-area coordinates.
ScreenRect Win32Platform::NormalGeometry(Handle window) {
  const Item* item = Find(window, Kind::Window);
  if (item == nullptr) return ScreenRect{};
  if (StateOf(window) == WindowState::Normal) return ClientArea(window);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
  if (!GetWindowPlacement(item->hwnd, &placement) ||
      !GetMonitorInfoW(MonitorFromWindow(item->hwnd, MONITOR_DEFAULTTONEAREST), &info))
    return ScreenRect{};
  RECT r = placement.rcNormalPosition;
  OffsetRect(&r, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
  const RECT frame = FrameAround(item->hwnd, DpiOf(item->hwnd));
  const int left = r.left - frame.left, top = r.top - frame.top;
  const int width = (r.right - frame.right) - left, height = (r.bottom - frame.bottom) - top;
  return ScreenRect{Logical(left, item->hwnd), Logical(top, item->hwnd),
                    Logical(std::max(width, 0), item->hwnd),
                    Logical(std::max(height, 0), item->hwnd)};
}

// Windows lets the program that is in front, or that the user just started,
// bring a window forward; otherwise the task bar button flashes.
void Win32Platform::RaiseWindow(Handle window, const std::string&) {
  const Item* item = Find(window, Kind::Window);
  if (item == nullptr) return;
  if (IsIconic(item->hwnd)) ShowWindow(item->hwnd, SW_RESTORE);
  SetForegroundWindow(item->hwnd);
  BringWindowToTop(item->hwnd);
}

// Handles grow with every window opened, so the largest is the newest.
HWND Win32Platform::FrontOf(Handle window) const {
  if (requester_ != nullptr) return requester_;
  Handle front = 0;
  for (const auto& [handle, item] : items_)
    if (item.kind == Kind::Window && item.owner == window && IsWindowVisible(item.hwnd))
      front = handle;
  if (front == 0) return nullptr;
  HWND further = FrontOf(front);
  return further != nullptr ? further : WindowOf(front);
}

void Win32Platform::PlaceAnchoredCanvases(Item& window) {
  RECT client{};
  GetClientRect(window.hwnd, &client);
  for (auto& [handle, item] : items_) {
    if (item.kind != Kind::Canvas || item.window != window.window || !item.anchored) continue;
    const int left = Device(item.x, window.hwnd), top = Device(item.y, window.hwnd);
    const int width = client.right - left - Device(item.rightMargin, window.hwnd);
    const int height = client.bottom - top - Device(item.bottomMargin, window.hwnd);
    MoveWindow(item.hwnd, left, top, std::max(width, 1), std::max(height, 1), TRUE);
  }
}

// A new scale (the window moved to another monitor, or the user changed it):
// the window takes the place the system suggests, every widget its logical
// place at the new scale and the font of the new resolution.
void Win32Platform::Rescale(Item& window, const RECT& suggested) {
  SetWindowPos(window.hwnd, nullptr, suggested.left, suggested.top,
               suggested.right - suggested.left, suggested.bottom - suggested.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  for (auto& [handle, item] : items_) {
    if (item.window != window.window || item.kind == Kind::Window) continue;
    if (item.kind == Kind::Canvas && !item.anchored)
      MoveWindow(item.hwnd, Device(item.x, window.hwnd), Device(item.y, window.hwnd),
                 Device(item.w, window.hwnd), Device(item.h, window.hwnd), TRUE);
    else if (item.kind != Kind::Canvas)
      PlaceControl(item, window.hwnd);
  }
  PlaceAnchoredCanvases(window);
}

// The end of the desktop session: the program saves before the message is
// answered, because the system may end the process right after.
void Win32Platform::OnEndSession() {
  if (sessionEnded_) return;
  sessionEnded_ = true;
  Post(Event{EventId::AppTerminate, 0, 0});
  SessionEnding();
}

// The platform that made the window keeps itself in the window's user data
// from the window's first message on.
Win32Platform* Win32Platform::PlatformOf(HWND hwnd, UINT message, LPARAM lParam, Handle& handle) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  handle = self != nullptr ? self->HandleOf(hwnd) : 0;
  return self;
}

LRESULT CALLBACK Win32Platform::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Handle window = 0;
  Win32Platform* self = PlatformOf(hwnd, message, lParam, window);
  if (window == 0) {
    if (self != nullptr && message == WM_GETMINMAXINFO) return 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->OnWindowMessage(window, hwnd, message, wParam, lParam);
}

LRESULT Win32Platform::OnWindowMessage(Handle window, HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  Item& item = items_.at(window);
  if (TakeKey(hwnd, message, wParam, lParam)) return 0;
  switch (message) {
    case WM_CLOSE:
      // The window stays: closing is the program's decision.
      Post(Event{EventId::WindowClose, window, 0}, item.owner == 0);
      return 0;
    case WM_SIZE:
      PlaceAnchoredCanvases(item);
      if (wParam != SIZE_MINIMIZED && !opening_) Post(Event{EventId::WindowSize, window, 0});
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      const RECT frame = FrameAround(hwnd, DpiOf(hwnd));
      limits->ptMinTrackSize.x = std::max<LONG>(
          limits->ptMinTrackSize.x, Device(item.minWidth, hwnd) + frame.right - frame.left);
      limits->ptMinTrackSize.y = std::max<LONG>(
          limits->ptMinTrackSize.y, Device(item.minHeight, hwnd) + frame.bottom - frame.top);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) break;
      if (FrontOf(window) != nullptr) {
        PostMessageW(hwnd, kPassKeyboard, 0, 0);
      } else {
        ::SetFocus(item.focus != nullptr && IsWindow(item.focus) ? item.focus : hwnd);
      }
      return 0;
    case kPassKeyboard: {
      HWND front = FrontOf(window);
      if (front != nullptr && IsWindowVisible(front)) SetForegroundWindow(front);
      return 0;
    }
    case WM_COMMAND: {
      const Handle control = HandleOf(reinterpret_cast<HWND>(lParam));
      if (HIWORD(wParam) == BN_CLICKED &&
          (Find(control, Kind::Button) != nullptr || Find(control, Kind::CheckBox) != nullptr))
        Post(Event{EventId::GadgetAction, control, 0});
      return 0;
    }
    case WM_DRAWITEM:
      if (DrawColouredButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const int button = message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 3;
      Post(Event{EventId::MouseDown, window, button});
      return 0;
    }
    case WM_MOUSEWHEEL: {
      // The wheel turns for the focus: a canvas under the pointer takes it.
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, &p);
      HWND child = ChildWindowFromPointEx(hwnd, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
      if (child != hwnd && Find(HandleOf(child), Kind::Canvas) != nullptr)
        return SendMessageW(child, message, wParam, lParam);
      const int notches = TakeWheel(item.wheelRemainder, wParam);
      if (notches != 0) Post(Event{EventId::MouseWheel, window, notches});
      return 0;
    }
    case WM_SETCURSOR:  // also asked for the widgets and canvases inside
      if (LOWORD(lParam) == HTCLIENT && OnSetCursor()) return TRUE;
      break;
    case WM_DPICHANGED: Rescale(item, *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_QUERYENDSESSION: Post(Event{EventId::AppTerminate, 0, 0}); return TRUE;
    case WM_ENDSESSION:
      if (wParam) OnEndSession();
      return 0;
    default: break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
