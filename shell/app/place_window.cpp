// The placement of the program's windows on the screens the platform reports
// (the arithmetic is in window_placement.cpp).
#include <algorithm>

#include "engine_state.h"
#include "window_placement.h"

namespace {

// The screen under the middle of a window.
ScreenRect AreaUnder(Platform& platform, int x, int y, int width, int height) {
  return platform.ScreenArea(MiddleOf(x, width), MiddleOf(y, height));
}

}  // namespace

void PlaceMainWindow(Platform& platform) {
  const int largest = std::min(platform.DesktopWidth(), platform.DesktopHeight());
  const ScreenRect area = AreaUnder(platform, settings.windowX, settings.windowY,
                                    settings.windowWidth, settings.windowHeight);
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
