// Win32Platform: labels, buttons and the check box (the system's STATIC and
// BUTTON controls), their font, button colours, the keyboard focus and the
// busy pointer (see win32_platform.h).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "win32_platform.h"
#include "win32_text.h"

namespace {

// Room a control's frame or box leaves for its text, in logical pixels.
int TextPadding(int kind) {
  switch (kind) {
    case 1: return 10;  // push button
    case 2: return 24;  // check box: the box takes the first pixels
    default: return 4;  // label
  }
}

// "&" marks a shortcut in a button's text; the program's texts mean the sign.
std::wstring WithoutShortcuts(const std::wstring& text) {
  std::wstring out;
  for (const wchar_t c : text) {
    out += c;
    if (c == L'&') out += L'&';
  }
  return out;
}

int TextWidthIn(HFONT font, const std::wstring& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  DeleteDC(dc);
  return size.cx;
}

}  // namespace

// The message font of the resolution, `shrink` device pixels (at 96 dpi;
// more at higher ones) smaller; kept for the rest of the run.
HFONT Win32Platform::MessageFont(UINT dpi, int shrink) {
  const auto key = std::make_pair(dpi, shrink);
  const auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font{};
  if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    font = metrics.lfMessageFont;
  } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), 96);
  } else {
    font.lfHeight = -MulDiv(12, static_cast<int>(dpi), 96);
  }
  const LONG step = std::max<LONG>(1, static_cast<LONG>(dpi / 96));
  if (font.lfHeight < 0)
    font.lfHeight = std::min<LONG>(-1, font.lfHeight + shrink * step);
  else if (font.lfHeight > 0)
    font.lfHeight = std::max<LONG>(1, font.lfHeight - shrink * step);
  HFONT handle = CreateFontIndirectW(&font);
  fonts_[key] = handle;
  return handle;
}

// A text too wide for its control is set smaller, down to 8 pixels (6
// points) at 96 dpi, until it fits.
HFONT Win32Platform::FontFor(const Item& control, HWND parent) {
  const UINT dpi = GetDpiForWindow(parent) != 0 ? GetDpiForWindow(parent) : 96;
  const int kind = control.kind == Kind::Button ? 1 : control.kind == Kind::CheckBox ? 2 : 0;
  const int room = Device(control.w - TextPadding(kind), parent);
  const int smallest = MulDiv(8, static_cast<int>(dpi), 96);
  for (int shrink = 0;; shrink++) {
    HFONT font = MessageFont(dpi, shrink);
    LOGFONTW description{};
    GetObjectW(font, sizeof description, &description);
    if (control.text.empty() || TextWidthIn(font, control.text) <= room ||
        std::abs(description.lfHeight) <= smallest || shrink >= 32)
      return font;
  }
}

void Win32Platform::PlaceControl(const Item& control, HWND parent) {
  MoveWindow(control.hwnd, Device(control.x, parent), Device(control.y, parent),
             Device(control.w, parent), Device(control.h, parent), TRUE);
  SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control, parent)), TRUE);
}

// Every control is subclassed, so that no key reaches it (ControlProc).
HWND Win32Platform::AddControl(Handle window, const wchar_t* type, DWORD style, int x, int y, int w,
                               int h, const std::wstring& text, Kind kind, Handle* handle) {
  *handle = 0;
  const Item* parent = Find(window, Kind::Window);
  if (parent == nullptr) return nullptr;
  HWND parentHwnd = parent->hwnd;
  const std::wstring shown = kind == Kind::Label ? text : WithoutShortcuts(text);
  HWND hwnd = CreateWindowExW(0, type, shown.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 1, 1,
                              parentHwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (hwnd == nullptr) return nullptr;
  Item item;
  item.kind = kind;
  item.window = window;
  item.hwnd = hwnd;
  item.x = x, item.y = y, item.w = w, item.h = h;
  item.text = text;
  *handle = AddItem(item);
  SetWindowSubclass(hwnd, ControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
  PlaceControl(items_.at(*handle), parentHwnd);
  return hwnd;
}

LRESULT CALLBACK Win32Platform::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
  if (reinterpret_cast<Win32Platform*>(self)->TakeKey(hwnd, message, wParam, lParam)) return 0;
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, ControlProc, 0);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

int Win32Platform::TextWidth(const std::string& text) {
  const std::wstring wide = WideFromUtf8(text);
  return TextWidthIn(MessageFont(96, 0), wide);
}

Handle Win32Platform::AddLabel(Handle window, int x, int y, int w, int h, const std::string& text,
                               LabelKind kind) {
  DWORD style = SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX;
  if (kind == LabelKind::Sunken) style |= SS_SUNKEN;
  if (kind == LabelKind::Separator) style = SS_ETCHEDHORZ;
  Handle handle = 0;
  AddControl(window, WC_STATICW, style, x, y, w, h,
             kind == LabelKind::Separator ? std::wstring() : WideFromUtf8(text), Kind::Label,
             &handle);
  return handle;
}

Handle Win32Platform::AddButton(Handle window, int x, int y, int w, int h,
                                const std::string& text) {
  Handle handle = 0;
  AddControl(window, WC_BUTTONW, BS_PUSHBUTTON, x, y, w, h, WideFromUtf8(text), Kind::Button,
             &handle);
  return handle;
}

Handle Win32Platform::AddCheckBox(Handle window, int x, int y, int w, int h,
                                  const std::string& text) {
  Handle handle = 0;
  AddControl(window, WC_BUTTONW, BS_AUTOCHECKBOX, x, y, w, h, WideFromUtf8(text), Kind::CheckBox,
             &handle);
  return handle;
}

int Win32Platform::CheckBoxState(Handle checkBox) {
  const Item* box = Find(checkBox, Kind::CheckBox);
  return box != nullptr && SendMessageW(box->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32Platform::SetDefaultButton(Handle button) {
  const Item* item = Find(button, Kind::Button);
  Item* window = item != nullptr ? Find(item->window, Kind::Window) : nullptr;
  if (window != nullptr) window->defaultButton = button;
}

// A themed push button ignores the colours its parent offers, so a coloured
// one is drawn by the platform (DrawColouredButton).
void Win32Platform::SetButtonColour(Handle button, int red, int green, int blue) {
  Item* item = Find(button, Kind::Button);
  if (item == nullptr) return;
  item->coloured = true;
  item->colour = RGB(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
  const LONG_PTR style = GetWindowLongPtrW(item->hwnd, GWL_STYLE);
  SetWindowLongPtrW(item->hwnd, GWL_STYLE,
                    (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  InvalidateRect(item->hwnd, nullptr, TRUE);
}

// The colour, a grey one-pixel border (darker while pressed) and the text
// centred in the button's font.
bool Win32Platform::DrawColouredButton(const DRAWITEMSTRUCT& draw) {
  const Item* item = Find(HandleOf(draw.hwndItem), Kind::Button);
  if (item == nullptr || !item->coloured || draw.CtlType != ODT_BUTTON) return false;
  RECT r = draw.rcItem;
  const bool pressed = (draw.itemState & ODS_SELECTED) != 0;
  HBRUSH fill = CreateSolidBrush(item->colour);
  FillRect(draw.hDC, &r, fill);
  DeleteObject(fill);
  HBRUSH border = CreateSolidBrush(pressed ? RGB(60, 60, 60) : RGB(120, 120, 120));
  FrameRect(draw.hDC, &r, border);
  DeleteObject(border);
  if (pressed) OffsetRect(&r, 1, 1);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(draw.hwndItem, WM_GETFONT, 0, 0));
  HGDIOBJ old = font != nullptr ? SelectObject(draw.hDC, font) : nullptr;
  SetBkMode(draw.hDC, TRANSPARENT);
  SetTextColor(draw.hDC,
               GetSysColor((draw.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextW(draw.hDC, item->text.c_str(), static_cast<int>(item->text.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (old != nullptr) SelectObject(draw.hDC, old);
  return true;
}

// The window comes forward (or, while it has a dialog open, the dialog: see
// WM_ACTIVATE), and the widget has the keyboard whenever its window has.
void Win32Platform::SetFocus(Handle widget) {
  const auto it = items_.find(widget);
  if (it == items_.end()) return;
  Item* window = Find(it->second.window, Kind::Window);
  if (window == nullptr) return;
  window->focus = it->second.hwnd;
  HWND front = FrontOf(window->window);
  if (front != nullptr) {
    SetForegroundWindow(front);
    return;
  }
  SetForegroundWindow(window->hwnd);
  ::SetFocus(it->second.hwnd);
}

bool Win32Platform::OnSetCursor() {
  if (!busy_) return false;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

// The pointer changes at once where it is over one of the program's windows,
// not only when it next moves.
void Win32Platform::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  POINT p{};
  if (!GetCursorPos(&p)) return;
  HWND under = WindowFromPoint(p);
  if (under == nullptr || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
  const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
               MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}
