// Measures, on the system's platform (Qt, or Win32 on Windows), the time
// from program start to the first drawn board, the time of one full board
// redraw, and of the first redraw after a resize (when the pictures are
// resampled). Run it in a folder holding the pictures
// (QT_QPA_PLATFORM=offscreen needs no display):
//   korvin4-bench [board-size]      (default 800)
// It writes a korvin.cfg for the given size with the welcome dialog off.
// It also times the same fixed search with the window program's event poll
// installed (as while the computer thinks) and without it, one redraw while
// a piece is carried by the mouse (the redraw of every pointer motion), and
// the write of the kept game after a move (to "bench-kept.kga": the folder's
// own "korvin.kga" is left alone).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "board_view.h"
#include "engine_state.h"
#include "game.h"
#include "kept_game.h"
#include "notation.h"
#include "position.h"
#include "search.h"
#include "system.h"
#include "think.h"
#include "bench_platform.h"
#include "shell_state.h"
#include "startup.h"
#include "event_loop.h"

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

// The redraw of one pointer motion while e2's pawn is carried across the
// board, as the mouse moves it: mean and worst of `rounds`.
void CarryBench(int rounds) {
  shell.pressSquare = 22 + 10 * 1 + 4;  // e2
  shell.carrying = true;
  std::vector<double> times;
  const int board = 8 * shell.squareSize;
  for (int k = 0; k < rounds; k++) {
    shell.carryX = (k * 7) % board;
    shell.carryY = board - (k * 5) % board;
    const auto start = std::chrono::steady_clock::now();
    DrawBoard(0, 0, shell.pressSquare);
    times.push_back(MillisecondsSince(start));
  }
  shell.carrying = false;
  shell.pressSquare = 0;
  double sum = 0;
  for (double t : times) sum += t;
  std::printf("redraw per pointer motion while carrying a piece at %d x %d: %.2f ms mean, %.2f ms worst (%d motions)\n",
              board, board, sum / rounds, *std::max_element(times.begin(), times.end()), rounds);
}

// The kept game written after each half-move of a game of `moves`
// half-moves (knights out and back, so that every write has new bytes):
// median and worst of one write.
void KeepBench(int moves) {
  NewGame();
  KeptGame kept = LoadKeptGame("bench-kept.kga");
  static const char* const kShuffle[4] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  std::vector<double> times;
  for (int n = 0; n < moves; n++) {
    std::string error;
    PlayMoveText(kShuffle[n % 4], error);
    const auto start = std::chrono::steady_clock::now();
    const KeptGameSave save = SaveKeptGame("bench-kept.kga", kept);
    times.push_back(MillisecondsSince(start));
    if (!save.saved) {
      std::printf("kept game write failed: %s\n", save.error.c_str());
      return;
    }
  }
  std::remove("bench-kept.kga");
  std::sort(times.begin(), times.end());
  std::printf("kept game written after a move: %.2f ms median, %.2f ms worst (%d moves)\n",
              times[times.size() / 2], times.back(), moves);
  NewGame();
}

}  // namespace

int main(int argc, char** argv) {
  const auto processStart = std::chrono::steady_clock::now();
  const int size = argc > 1 ? std::atoi(argv[1]) : 800;
  WriteConfig(size);
  const std::unique_ptr<Platform> made = MakeBenchPlatform(argc, argv);
  Platform& platform = *made;
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
  CarryBench(200);
  KeepBench(100);

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
