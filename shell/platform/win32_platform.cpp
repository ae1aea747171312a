// Win32Platform: set-up, handles, screens and scales (see win32_platform.h).
#include "win32_platform.h"

#include <commctrl.h>
#include <shellscalingapi.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr wchar_t kWindowClass[] = L"Korvin4Window";
constexpr wchar_t kCanvasClass[] = L"Korvin4Canvas";

struct MonitorSearch {
  int x, y;
  HMONITOR best = nullptr;
  int64_t bestDistance = INT64_MAX;
  double bestScale = 1.0;
};

double MonitorScale(HMONITOR monitor) {
  UINT dpiX = 96, dpiY = 96;
  if (FAILED(GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY)) || dpiX == 0) return 1.0;
  return dpiX / 96.0;
}

// Distances are the larger of the horizontal and vertical gaps between the
// point and the monitor's area in logical pixels, in 64 bits.
BOOL CALLBACK LookAtMonitor(HMONITOR monitor, HDC, LPRECT area, LPARAM data) {
  auto* search = reinterpret_cast<MonitorSearch*>(data);
  const double scale = MonitorScale(monitor);
  const int64_t left = std::lround(area->left / scale), top = std::lround(area->top / scale);
  const int64_t right = std::lround(area->right / scale) - 1;
  const int64_t bottom = std::lround(area->bottom / scale) - 1;
  const int64_t dx = std::max<int64_t>({left - search->x, search->x - right, 0});
  const int64_t dy = std::max<int64_t>({top - search->y, search->y - bottom, 0});
  if (std::max(dx, dy) < search->bestDistance) {
    search->bestDistance = std::max(dx, dy);
    search->best = monitor;
    search->bestScale = scale;
  }
  return TRUE;
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance)
    : instance_(instance != nullptr ? instance : GetModuleHandleW(nullptr)) {
  // The manifest makes the program per-monitor aware (v2); a program
  // without one (a test) asks for it here, before its first window.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  icon_ = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  if (icon_ == nullptr) icon_ = LoadIconW(nullptr, IDI_APPLICATION);
  RegisterClasses();
  lastGather_ = std::chrono::steady_clock::now();
}

Win32Platform::~Win32Platform() {
  std::vector<Handle> windows;
  for (const auto& [handle, item] : items_)
    if (item.kind == Kind::Window && item.owner == 0) windows.push_back(handle);
  for (const Handle window : windows) DestroyWindow(window);
  for (auto& [key, font] : fonts_) DeleteObject(font);
}

// The classes are the process's; a second platform finds them registered.
// Each window finds its platform in its user data.
void Win32Platform::RegisterClasses() {
  WNDCLASSEXW window{};
  window.cbSize = sizeof window;
  window.lpfnWndProc = WindowProc;
  window.hInstance = GetModuleHandleW(nullptr);
  window.hIcon = icon_;
  window.hIconSm = icon_;
  window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window.lpszClassName = kWindowClass;
  RegisterClassExW(&window);
  WNDCLASSEXW canvas = window;
  canvas.lpfnWndProc = CanvasProc;
  canvas.hIcon = canvas.hIconSm = nullptr;
  canvas.hbrBackground = nullptr;  // the canvas paints all of itself
  canvas.lpszClassName = kCanvasClass;
  RegisterClassExW(&canvas);
}

// ----- Handles ---------------------------------------------------------------

Handle Win32Platform::AddItem(Item item) {
  const Handle handle = nextHandle_++;
  if (item.kind == Kind::Window) item.window = handle;
  if (item.hwnd != nullptr) byHwnd_[item.hwnd] = handle;
  items_[handle] = std::move(item);
  return handle;
}

Win32Platform::Item* Win32Platform::Find(Handle handle, Kind kind) {
  const auto it = items_.find(handle);
  return it != items_.end() && it->second.kind == kind ? &it->second : nullptr;
}

const Win32Platform::Item* Win32Platform::Find(Handle handle, Kind kind) const {
  const auto it = items_.find(handle);
  return it != items_.end() && it->second.kind == kind ? &it->second : nullptr;
}

Handle Win32Platform::HandleOf(HWND hwnd) const {
  const auto it = byHwnd_.find(hwnd);
  return it != byHwnd_.end() ? it->second : 0;
}

HWND Win32Platform::WindowOf(Handle handle) const {
  const auto it = items_.find(handle);
  return it != items_.end() ? it->second.hwnd : nullptr;
}

double Win32Platform::ScaleOf(Handle handle) const { return Scale(WindowOf(handle)); }

// ----- Scales ------------------------------------------------------------------

double Win32Platform::Scale(HWND hwnd) const {
  const UINT dpi = hwnd != nullptr ? GetDpiForWindow(hwnd) : 0;
  return dpi != 0 ? dpi / 96.0 : 1.0;
}

int Win32Platform::Device(int logical, HWND hwnd) const {
  return static_cast<int>(std::lround(logical * Scale(hwnd)));
}

int Win32Platform::Logical(int device, HWND hwnd) const {
  return static_cast<int>(std::lround(device / Scale(hwnd)));
}

HMONITOR Win32Platform::MonitorAt(int x, int y, double* scale) const {
  MonitorSearch search{x, y};
  EnumDisplayMonitors(nullptr, nullptr, LookAtMonitor, reinterpret_cast<LPARAM>(&search));
  if (search.best == nullptr) {
    search.best = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    search.bestScale = MonitorScale(search.best);
  }
  if (scale != nullptr) *scale = search.bestScale;
  return search.best;
}

DWORD Win32Platform::StyleOf(WindowKind kind, bool owned) {
  switch (kind) {
    case WindowKind::Bare: return WS_POPUP | WS_CLIPCHILDREN;
    case WindowKind::Fixed:
      return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN |
             (owned ? 0 : WS_MINIMIZEBOX);
    case WindowKind::Resizable:
    default: return (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN) & ~(owned ? WS_MINIMIZEBOX : 0);
  }
}

// ----- Screens -------------------------------------------------------------------

// The primary monitor's work area, in its logical pixels.
ScreenRect Win32Platform::PrimaryWorkArea() const {
  const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
  if (!GetMonitorInfoW(primary, &info)) return ScreenRect{};
  const double scale = MonitorScale(primary);
  const auto logical = [scale](LONG v) { return static_cast<int>(std::lround(v / scale)); };
  return ScreenRect{logical(info.rcWork.left), logical(info.rcWork.top),
                    logical(info.rcWork.right - info.rcWork.left),
                    logical(info.rcWork.bottom - info.rcWork.top)};
}

int Win32Platform::DesktopWidth() { return PrimaryWorkArea().width; }
int Win32Platform::DesktopHeight() { return PrimaryWorkArea().height; }

// The work area without the frame a resizable window has there, so that a
// client area placed inside keeps its title bar and edges on the screen.
ScreenRect Win32Platform::ScreenArea(int x, int y) {
  double scale = 1.0;
  const HMONITOR monitor = MonitorAt(x, y, &scale);
  MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
  if (!GetMonitorInfoW(monitor, &info)) return ScreenRect{};
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectExForDpi(&frame, StyleOf(WindowKind::Resizable, false), FALSE, 0,
                           static_cast<UINT>(std::lround(scale * 96)));
  const RECT& work = info.rcWork;
  const auto logical = [scale](LONG v) { return static_cast<int>(std::lround(v / scale)); };
  const int left = logical(work.left - frame.left), top = logical(work.top - frame.top);
  const int right = logical(work.right - frame.right), bottom = logical(work.bottom - frame.bottom);
  return ScreenRect{left, top, std::max(0, right - left), std::max(0, bottom - top)};
}
