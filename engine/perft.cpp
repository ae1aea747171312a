#include "perft.h"

#include "engine_state.h"
#include "moves.h"

int64_t Perft(int depth) {
  const int ply = E.ply;
  E.kingCaptured = 0;
  GenerateMoves();
  E.moveListEnd[ply] = E.moveCount;
  int64_t count = 0;
  for (int i = E.moveListEnd[ply - 1] + 1; i <= E.moveListEnd[ply]; i++) {
    const int from = E.moveFrom[i], to = E.moveTo[i];
    MakeMove(from, to);
    if (InCheck(1 - E.sideToMove) == 0) count += depth <= 1 ? 1 : Perft(depth - 1);
    UnmakeMove(from, to);
  }
  return count;
}
