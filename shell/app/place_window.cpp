// The placement of the program's windows on the screens the platform reports
// (the arithmetic is in window_placement.cpp).
#include "place_window.h"

#include <algorithm>

#include "config_file.h"
#include "engine_state.h"
#include "window_placement.h"

namespace {

// The screen under the middle of a window.
ScreenRect AreaUnder(Platform& platform, int x, int y, int width, int height) {
  return platform.ScreenArea(MiddleOf(x, width), MiddleOf(y, height));
}

// Where the window system keeps the places of windows to itself (Wayland)
// it does not tell where its panels and docks are either: a tenth of the
// screen each way is left for them.
ScreenRect UsableArea(Platform& platform, ScreenRect area) {
  if (platform.KnowsWindowPositions()) return area;
  area.width -= area.width / 10;
  area.height -= area.height / 10;
  return area;
}

}  // namespace

void PlaceMainWindow(Platform& platform) {
  const int largest = std::min(platform.DesktopWidth(), platform.DesktopHeight());
  const ScreenRect area = UsableArea(platform, AreaUnder(platform, settings.windowX, settings.windowY,
                                                         settings.windowWidth, settings.windowHeight));
  FitMainWindow(area, largest, settings.windowX, settings.windowY, settings.windowWidth,
                settings.windowHeight);
}

void PlaceWindow(Platform& platform, Handle mainWindow, int& x, int& y, int width, int height) {
  ScreenRect area;
  if (mainWindow != 0) {
    area = AreaUnder(platform, platform.WindowX(mainWindow), platform.WindowY(mainWindow),
                     platform.WindowWidth(mainWindow), platform.WindowHeight(mainWindow));
  } else {
    area = AreaUnder(platform, settings.windowX, settings.windowY, settings.windowWidth,
                     settings.windowHeight);
  }
  MoveInside(area, width, height, x, y);
}

// Where positions are unknown only the size can be made to fit; the window
// system places the window.
bool KeepMainWindowOnScreen(Platform& platform, Handle mainWindow) {
  if (mainWindow == 0 || platform.StateOf(mainWindow) != WindowState::Normal) return false;
  int x = platform.WindowX(mainWindow), y = platform.WindowY(mainWindow);
  int width = platform.WindowWidth(mainWindow), height = platform.WindowHeight(mainWindow);
  const int oldX = x, oldY = y, oldWidth = width, oldHeight = height;
  ScreenRect area = UsableArea(platform, AreaUnder(platform, x, y, width, height));
  if (!platform.KnowsWindowPositions()) {
    area.x = x;
    area.y = y;
  }
  // Only a window too large for the area changes its size (to the largest
  // square that fits); otherwise it is only moved in.
  if (width > area.width || height > area.height) {
    width = height = std::max(kSmallestBoard, std::min(area.width, area.height) / 8 * 8);
  }
  MoveInside(area, width, height, x, y);
  if (x == oldX && y == oldY && width == oldWidth && height == oldHeight) return false;
  settings.windowWidth = width;
  settings.windowHeight = height;
  platform.SetWindowShape(mainWindow, x, y, width, height);
  return width != oldWidth || height != oldHeight;
}
