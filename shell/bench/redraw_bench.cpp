// Measures, on the Qt platform, the time from program start to the first
// drawn board and the time of one full board redraw. Run it in a folder
// holding the pictures (QT_QPA_PLATFORM=offscreen needs no display):
//   korvin4-bench [board-size]      (default 800)
// It writes a korvin.cfg for the given size with the welcome dialog off.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "board_view.h"
#include "engine_state.h"
#include "program.h"
#include "qt_platform.h"
#include "shell_state.h"

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void WriteConfig(int size) {
  const int values[7] = {0, 0, size, size, 0, 1, 1};
  FILE* f = std::fopen("korvin.cfg", "wb");
  if (f == nullptr) return;
  for (int v : values)
    for (int b = 0; b < 4; b++) std::fputc((static_cast<unsigned>(v) >> (8 * b)) & 255, f);
  std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  const auto processStart = std::chrono::steady_clock::now();
  const int size = argc > 1 ? std::atoi(argv[1]) : 800;
  WriteConfig(size);
  QtPlatform platform(argc, argv);
  const auto start = std::chrono::steady_clock::now();
  if (!StartUp(platform)) return 1;
  std::printf("start-up to first drawn board: %.1f ms (%.1f ms with the toolkit's own start)\n",
              MillisecondsSince(start), MillisecondsSince(processStart));
  if (shell.squareSize * 8 != size)
    std::printf("note: the window is %d pixels, the desktop limits it\n", shell.squareSize * 8);
  const int rounds = 100;
  const auto drawStart = std::chrono::steady_clock::now();
  for (int k = 0; k < rounds; k++) DrawBoard(0, 0, 0);
  std::printf("full redraw at %d x %d: %.2f ms (mean of %d)\n", shell.squareSize * 8,
              shell.squareSize * 8, MillisecondsSince(drawStart) / rounds, rounds);
  ShutDown();
  return 0;
}
