#include "window_placement.h"

#include <algorithm>
#include <cstdint>

namespace {

// `value` within [low, high]; high below low counts as low.
int64_t Within(int64_t value, int64_t low, int64_t high) {
  return value < low ? low : value > high ? std::max(low, high) : value;
}

}  // namespace

int MiddleOf(int position, int size) {
  const int64_t middle = static_cast<int64_t>(position) + size / 2;
  return static_cast<int>(Within(middle, INT32_MIN, INT32_MAX));
}

// The result lies between the area's edge and the old position, so it
// always fits an int.
void MoveInside(const ScreenRect& area, int width, int height, int& x, int& y) {
  const int64_t areaWidth = std::max(area.width, 0), areaHeight = std::max(area.height, 0);
  x = static_cast<int>(Within(x, area.x, area.x + areaWidth - width));
  y = static_cast<int>(Within(y, area.y, area.y + areaHeight - height));
}

void FitMainWindow(const ScreenRect& area, int largest, int& x, int& y, int& width, int& height) {
  const int64_t limit =
      std::max<int64_t>(kSmallestBoard, std::min({largest, area.width, area.height}));
  const int side = static_cast<int>(Within(std::min(width, height), kSmallestBoard, limit));
  width = height = side;
  MoveInside(area, side, side, x, y);
}
