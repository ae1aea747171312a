// Win32Platform: canvases, their back buffers, drawing and Present (see
// win32_platform.h). The buffers are 32-bit top-down DIB sections, whose
// pixels have the layout of Picture, so the shared drawing core
// (picture_ops.h) draws straight into them.
#include <windows.h>

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "win32_platform.h"

namespace {

// Drawing coordinates far beyond any screen are refused rather than let
// overflow on their way to device pixels.
constexpr int kFarthestPixel = 1 << 24;

uint32_t BackgroundPixel() {
  const COLORREF c = GetSysColor(COLOR_BTNFACE);
  return OpaquePixel(GetRValue(c), GetGValue(c), GetBValue(c));
}

// A buffer of the size filled with the window's background colour and
// holding what `old` held, at its top left.
bool Renew(int width, int height, const ConstPixelRows& old, HBITMAP& bitmap, uint32_t*& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return false;
  pixels = static_cast<uint32_t*>(bits);
  const PixelRows rows{pixels, width, height};
  FillPixels(rows, 0, 0, width, height, BackgroundPixel());
  if (old.pixels != nullptr) BlendPixels(rows, old, 0, 0, 255, false);
  return true;
}

}  // namespace

Handle Win32Platform::AddCanvas(Handle window, int x, int y, int w, int h, bool anchored) {
  const Item* parent = Find(window, Kind::Window);
  if (parent == nullptr) return 0;
  HWND parentHwnd = parent->hwnd;
  Item item;
  item.kind = Kind::Canvas;
  item.window = window;
  item.x = x, item.y = y, item.w = w, item.h = h;
  item.anchored = anchored;
  item.rightMargin = WindowWidth(window) - (x + w);
  item.bottomMargin = WindowHeight(window) - (y + h);
  const Handle handle = AddItem(item);
  HWND hwnd = CreateWindowExW(
      0, L"Korvin4Canvas", L"", WS_CHILD | WS_CLIPSIBLINGS, Device(x, parentHwnd),
      Device(y, parentHwnd), std::max(Device(w, parentHwnd), 1), std::max(Device(h, parentHwnd), 1),
      parentHwnd, nullptr, GetModuleHandleW(nullptr), this);
  if (hwnd == nullptr) {
    items_.erase(handle);
    return 0;
  }
  items_.at(handle).hwnd = hwnd;
  byHwnd_[hwnd] = handle;
  FitBuffers(items_.at(handle));
  ShowWindow(hwnd, SW_SHOWNA);
  return handle;
}

void Win32Platform::FreeBuffers(Item& canvas) {
  for (Buffer* buffer : {&canvas.back, &canvas.shown}) {
    if (buffer->bitmap != nullptr) DeleteObject(buffer->bitmap);
    *buffer = Buffer{};
  }
}

// The buffers take the canvas's size in device pixels, keeping what they
// held; a new area gets the window's background colour.
void Win32Platform::FitBuffers(Item& canvas) {
  RECT client{};
  GetClientRect(canvas.hwnd, &client);
  const int width = std::max<int>(client.right, 1), height = std::max<int>(client.bottom, 1);
  if (canvas.back.width == width && canvas.back.height == height) return;
  Buffer back{}, shown{};
  const ConstPixelRows oldBack{canvas.back.pixels, canvas.back.width, canvas.back.height};
  const ConstPixelRows oldShown{canvas.shown.pixels, canvas.shown.width, canvas.shown.height};
  if (!Renew(width, height, oldBack, back.bitmap, back.pixels)) return;
  if (!Renew(width, height, oldShown, shown.bitmap, shown.pixels)) {
    DeleteObject(back.bitmap);
    return;
  }
  back.width = shown.width = width;
  back.height = shown.height = height;
  FreeBuffers(canvas);
  canvas.back = back;
  canvas.shown = shown;
}

Picture Win32Platform::PresentedPixels(Handle canvas) const {
  Picture picture;
  const Item* item = Find(canvas, Kind::Canvas);
  if (item == nullptr || item->shown.pixels == nullptr) return picture;
  GdiFlush();
  picture.width = item->shown.width;
  picture.height = item->shown.height;
  picture.pixels.assign(item->shown.pixels,
                        item->shown.pixels + static_cast<size_t>(picture.width) * picture.height);
  return picture;
}

int Win32Platform::PointerX(Handle canvas) {
  const Item* item = Find(canvas, Kind::Canvas);
  return item != nullptr ? item->pointerX : 0;
}

int Win32Platform::PointerY(Handle canvas) {
  const Item* item = Find(canvas, Kind::Canvas);
  return item != nullptr ? item->pointerY : 0;
}

void Win32Platform::SetDrawTarget(Handle canvas) {
  if (Find(canvas, Kind::Canvas) != nullptr) target_ = canvas;
}

void Win32Platform::SetDrawAlpha(double alpha) { alpha_ = std::clamp(alpha, 0.0, 1.0); }

// Coordinates are canvas pixels; the picture is resampled for its rectangle
// in device pixels and blended pixel for pixel, so a dense screen gets full
// detail and nothing is filtered twice.
void Win32Platform::Draw(Handle picture, int x, int y, int w, int h, bool stretched) {
  Item* canvas = Find(target_, Kind::Canvas);
  const Picture* normal = FindPicture(picture);
  if (canvas == nullptr || normal == nullptr) return;
  if (!stretched) {
    w = normal->width;
    h = normal->height;
  }
  if (std::abs(x) > kFarthestPixel || std::abs(y) > kFarthestPixel || w <= 0 || h <= 0 ||
      w > kFarthestPixel || h > kFarthestPixel)
    return;
  FitBuffers(*canvas);
  const Buffer& back = canvas->back;
  if (back.pixels == nullptr) return;
  const int left = Device(x, canvas->hwnd), top = Device(y, canvas->hwnd);
  const int width = Device(x + w, canvas->hwnd) - left, height = Device(y + h, canvas->hwnd) - top;
  if (width <= 0 || height <= 0 || left >= back.width || top >= back.height || left + width <= 0 ||
      top + height <= 0)
    return;
  PictureVersions& versions = versions_.try_emplace(picture, normal->name).first->second;
  const Picture& source = versions.ForSize(*normal, width, height);
  BlendPixels(back.Rows(), RowsOf(source), left, top, AlphaLevel(alpha_), blending_);
}

void Win32Platform::DrawPicture(Handle picture, int x, int y) { Draw(picture, x, y, 0, 0, false); }

void Win32Platform::DrawPictureStretched(Handle picture, int x, int y, int w, int h) {
  Draw(picture, x, y, w, h, true);
}

void Win32Platform::FillRectangle(int x, int y, int w, int h, int red, int green, int blue) {
  Item* canvas = Find(target_, Kind::Canvas);
  if (canvas == nullptr || w <= 0 || h <= 0 || std::abs(x) > kFarthestPixel ||
      std::abs(y) > kFarthestPixel || w > kFarthestPixel || h > kFarthestPixel)
    return;
  FitBuffers(*canvas);
  const int left = Device(x, canvas->hwnd), top = Device(y, canvas->hwnd);
  FillPixels(canvas->back.Rows(), left, top, Device(x + w, canvas->hwnd) - left,
             Device(y + h, canvas->hwnd) - top, OpaquePixel(red, green, blue));
}

// The back buffer is copied to the shown one and painted at once. A paint
// the window system had asked for already is still reported (GadgetPaint):
// it may have wanted more than this frame.
void Win32Platform::Present() {
  Item* canvas = Find(target_, Kind::Canvas);
  if (canvas == nullptr) return;
  FitBuffers(*canvas);
  if (canvas->back.pixels == nullptr || canvas->shown.pixels == nullptr) return;
  std::memcpy(canvas->shown.pixels, canvas->back.pixels,
              static_cast<size_t>(canvas->back.width) * canvas->back.height * 4);
  GdiFlush();
  const bool systemAsked = GetUpdateRect(canvas->hwnd, nullptr, FALSE) != FALSE;
  InvalidateRect(canvas->hwnd, nullptr, FALSE);
  presenting_ = !systemAsked;
  UpdateWindow(canvas->hwnd);
  presenting_ = false;
}

LRESULT CALLBACK Win32Platform::CanvasProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Handle canvas = 0;
  Win32Platform* self = PlatformOf(hwnd, message, lParam, canvas);
  if (canvas == 0) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->OnCanvasMessage(canvas, hwnd, message, wParam, lParam);
}

LRESULT Win32Platform::OnCanvasMessage(Handle canvas, HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  Item& item = items_.at(canvas);
  if (TakeKey(hwnd, message, wParam, lParam)) return 0;
  switch (message) {
    case WM_SIZE:
      // What grows is exposed (and reported) by the window system; a canvas
      // that shrinks shows what it showed.
      FitBuffers(item);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      // A paint that Present did not cause means the window system wants
      // the canvas drawn again: the program hears of it.
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      if (item.shown.bitmap != nullptr) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, item.shown.bitmap);
        BitBlt(dc, 0, 0, item.shown.width, item.shown.height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
      }
      EndPaint(hwnd, &paint);
      if (!presenting_) Post(Event{EventId::GadgetPaint, canvas, 0});
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      // A press and a release also update the pointer, so that its
      // position is the click's. The left button's press captures the
      // pointer, so the canvas hears of its moves and release anywhere.
      item.pointerX = Logical(GET_X_LPARAM(lParam), hwnd);
      item.pointerY = Logical(GET_Y_LPARAM(lParam), hwnd);
      const bool down =
          message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
      const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP;
      const int button = left ? 1 : (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) ? 2 : 3;
      if (left && down) {
        item.leftHeld = true;
        SetCapture(hwnd);
      }
      Post(Event{down ? EventId::MouseDown : EventId::MouseUp, canvas, button});
      if (left && !down && item.leftHeld) {
        item.leftHeld = false;
        ReleaseCapture();
      }
      return 0;
    }
    case WM_CAPTURECHANGED: item.leftHeld = false; return 0;
    case WM_MOUSEMOVE:
      // Moves are reported only while the left button, pressed on this
      // canvas, is held: they carry a piece. Otherwise only the position
      // is kept.
      item.pointerX = Logical(GET_X_LPARAM(lParam), hwnd);
      item.pointerY = Logical(GET_Y_LPARAM(lParam), hwnd);
      if (item.leftHeld && (wParam & MK_LBUTTON)) Post(Event{EventId::MouseMove, canvas, 0});
      return 0;
    case WM_MOUSEWHEEL: {
      const int notches = TakeWheel(item.wheelRemainder, wParam);
      if (notches != 0) Post(Event{EventId::MouseWheel, canvas, notches});
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
