// Random legal games for tests and measurements that need many positions.
#pragma once

#include "engine_state.h"
#include "game.h"
#include "moves.h"
#include "position.h"
#include "system.h"

// Plays one random legal move as a game move (with the shared random
// generator); false when the side to move has none.
inline bool PlayRandomMove() {
  E.ply = 1;
  E.moveCount = 0;
  E.kingCaptured = 0;
  GenerateMoves();
  const int last = E.moveCount;
  int legalFrom[256], legalTo[256], n = 0;
  for (int i = 1; i <= last && n < 256; i++) {
    const int from = E.moveFrom[i], to = E.moveTo[i];
    MakeMove(from, to);
    if (InCheck(1 - E.sideToMove) == 0) {
      legalFrom[n] = from;
      legalTo[n] = to;
      n++;
    }
    UnmakeMove(from, to);
  }
  if (n == 0) return false;
  const int k = RandomInt(0, n - 1);
  PlayGameMove(legalFrom[k], legalTo[k]);
  E.ply = 1;
  PositionReset();
  return true;
}
