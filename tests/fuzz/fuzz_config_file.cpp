// Arbitrary bytes as a configuration file: a short file changes nothing; an
// accepted one yields sanitised settings that save and load back unchanged,
// and whatever window geometry it holds, the main window opens square, within
// its size limits and wholly on the screen (bytes after the 28 of the file,
// when there are any, choose the screen), with dialogs placed inside it too,
// all without undefined behaviour.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "config_file.h"
#include "fuzz_common.h"
#include "window_placement.h"

namespace {

int32_t Int32At(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

bool Inside(const ScreenRect& area, int x, int y, int width, int height) {
  return x >= area.x && y >= area.y &&
         int64_t{x} + width <= int64_t{area.x} + std::max(area.width, 0) &&
         int64_t{y} + height <= int64_t{area.y} + std::max(area.height, 0);
}

// The main window and a dialog centred on it, on the screen `area` with
// the size limit `largest`.
void CheckPlacement(const ScreenRect& area, int largest) {
  int x = settings.windowX, y = settings.windowY;
  int width = settings.windowWidth, height = settings.windowHeight;
  FitMainWindow(area, largest, x, y, width, height);
  Require(width == height, "the main window is not square");
  const int64_t limit =
      std::max<int64_t>(kSmallestBoard, std::min({largest, area.width, area.height}));
  Require(width >= kSmallestBoard && width <= limit, "the main window is outside its size limits");
  const bool roomy = area.width >= width && area.height >= width;
  Require(!roomy || Inside(area, x, y, width, height), "the main window is not wholly on the screen");
  // Options, centred on the main window as written, then moved in.
  int dx = static_cast<int>(x + int64_t{width - 480} / 2), dy = static_cast<int>(y + int64_t{height - 330} / 2);
  MoveInside(area, 480, 330, dx, dy);
  Require(area.width < 480 || area.height < 330 || Inside(area, dx, dy, 480, 330),
          "a dialog is not wholly on the screen");
  // Fitting what was fitted changes nothing: the window reopens as it was.
  int x2 = x, y2 = y, w2 = width, h2 = height;
  FitMainWindow(area, largest, x2, y2, w2, h2);
  Require(x2 == x && y2 == y && w2 == width && h2 == height, "a fitted window moved again");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  settings = Settings{7, 7, 7, 7, 1, 3, 1};
  const Settings before = settings;
  if (!LoadConfigBytes(data, size)) {
    Require(size < static_cast<size_t>(kConfigBytes), "a full-length file was refused");
    Require(std::memcmp(&before, &settings, sizeof(Settings)) == 0, "a refused file changed the settings");
    return 0;
  }
  Require(settings.level >= 1 && settings.level <= 4, "level");
  Require(settings.humanPlaysBlack == 0 || settings.humanPlaysBlack == 1, "humanPlaysBlack");
  Require(settings.hideWelcome == 0 || settings.hideWelcome == 1, "hideWelcome");
  const Settings loaded = settings;
  unsigned char bytes[kConfigBytes];
  ConfigToBytes(bytes);
  Require(std::memcmp(bytes, data, 16) == 0, "window geometry did not round-trip");
  Require(LoadConfigBytes(bytes, sizeof bytes), "saved configuration refused");
  Require(std::memcmp(&loaded, &settings, sizeof(Settings)) == 0, "save and load differ");

  CheckPlacement(ScreenRect{0, 27, 1920, 1053}, 1053);
  if (size >= static_cast<size_t>(kConfigBytes) + 20) {
    const uint8_t* s = data + kConfigBytes;
    CheckPlacement(ScreenRect{Int32At(s), Int32At(s + 4), Int32At(s + 8), Int32At(s + 12)},
                   Int32At(s + 16));
  }
  return 0;
}
