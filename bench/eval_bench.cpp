// Measures Evaluate calls per second over positions taken from random games
// (king-zone maps rebuilt whenever a king differs from the previous position,
// as at the frontier of a search). Prints the figures; asserts nothing.
#include <cstdio>
#include <vector>

#include "../tests/random_game.h"
#include "engine_state.h"
#include "evaluate.h"
#include "game.h"
#include "moves.h"
#include "position.h"
#include "system.h"

namespace {

struct Snapshot {
  int board[121];
  int sideToMove, castleRights;
};

// Puts a stored position on the board as a search would see it.
void Install(const Snapshot& s) {
  for (int i = 0; i <= 120; i++) E.board[i] = s.board[i];
  E.sideToMove = s.sideToMove;
  E.castleRights = s.castleRights;
  E.savedCastleRights[1] = s.castleRights;
  E.rootSide = 1 - s.sideToMove;
  E.plyFrom[1] = 0;
  PositionReset();
}

// Evaluates every position `repeat` times in a row, `passes` times over the
// set, and prints calls per second with the set-up time taken out.
void Measure(const std::vector<Snapshot>& positions, int repeat, int passes, const char* label) {
  long long calls = 0, checksum = 0;
  const int start = ClockMs();
  for (int pass = 0; pass < passes; pass++) {
    for (const Snapshot& s : positions) {
      Install(s);
      for (int r = 0; r < repeat; r++) checksum += Evaluate();
      calls += repeat;
    }
  }
  const long long ms = ElapsedMs(start);
  const int setupStart = ClockMs();
  for (int pass = 0; pass < passes; pass++)
    for (const Snapshot& s : positions) {
      Install(s);
      checksum += E.whiteMaterial;
    }
  const long long setupMs = ElapsedMs(setupStart);
  const long long evalMs = ms > setupMs ? ms - setupMs : 1;
  std::printf("%s\n  calls %lld, time_ms %lld (set-up %lld), evaluate_per_second %lld, "
              "ns_per_call %.1f, checksum %lld\n",
              label, calls, ms, setupMs, calls * 1000 / evalMs,
              1e6 * static_cast<double>(evalMs) / static_cast<double>(calls), checksum);
}

}  // namespace

int main() {
  StartEngine(7);
  std::vector<Snapshot> positions;
  for (int game = 0; game < 20; game++) {
    ResetGame();
    E.gameFrom[1] = -1;
    for (int half = 0; half < 100 && PlayRandomMove(); half++) {
      Snapshot s;
      for (int i = 0; i <= 120; i++) s.board[i] = E.board[i];
      s.sideToMove = E.sideToMove;
      s.castleRights = E.castleRights;
      positions.push_back(s);
    }
  }

  std::printf("positions %zu\n", positions.size());
  Measure(positions, 20, 200, "cached king zones (20 calls per position)");
  Measure(positions, 1, 2000, "one call per position (zones rebuilt when a king differs)");
  return 0;
}
