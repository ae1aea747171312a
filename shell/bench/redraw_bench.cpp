// Measures, on the Qt platform, the time from program start to the first
// drawn board, the time of one full board redraw, and of the first redraw
// after a resize (when the pictures are resampled). Run it in a folder
// holding the pictures (QT_QPA_PLATFORM=offscreen needs no display):
//   korvin4-bench [board-size]      (default 800)
// It writes a korvin.cfg for the given size with the welcome dialog off.
// It also times the same fixed search with the window program's event poll
// installed (as while the computer thinks) and without it.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "board_view.h"
#include "engine_state.h"
#include "notation.h"
#include "search.h"
#include "system.h"
#include "think.h"
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

// Nodes per second of a depth-7 search of a middlegame position.
double SearchSpeed() {
  std::string error;
  SetupFen("r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", error);
  E.maxDepth = 7;
  E.timeLimit = 999999999;
  E.searchStart = ClockMs();
  PrepareSearch();
  for (int i = 1; i <= 100; i++) E.rootBonus[i] = 0;
  const auto start = std::chrono::steady_clock::now();
  DeepenSearch();
  return static_cast<double>(E.nodes + E.qnodes) / (MillisecondsSince(start) / 1000.0);
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
  // After a resize every picture is resampled once for its new size.
  const int square = shell.squareSize;
  double resized = 0;
  for (int k = 1; k <= 4; k++) {
    shell.squareSize = square - k;
    const auto resizeStart = std::chrono::steady_clock::now();
    DrawBoard(0, 0, 0);
    resized += MillisecondsSince(resizeStart);
  }
  shell.squareSize = square;
  std::printf("first redraw at a new size: %.2f ms (mean of 4)\n", resized / 4);

  // Alternate the runs so that a busy machine affects both alike.
  void (*poll)() = searchPollHook;
  double with = 0, without = 0;
  for (int round = 0; round < 3; round++) {
    searchPollHook = poll;
    with += SearchSpeed();
    searchPollHook = nullptr;
    without += SearchSpeed();
  }
  searchPollHook = poll;
  std::printf("search with the event poll: %.0f nodes/s, without: %.0f nodes/s (%+.1f %%)\n",
              with / 3, without / 3, 100.0 * (with - without) / without);
  ShutDown();
  return 0;
}
