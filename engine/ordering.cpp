#include "ordering.h"

#include "engine_state.h"

namespace {
constexpr int kTried = -99999;
constexpr int kPvScore = 100000;
}  // namespace

void MarkPvMove() {
  const int p = E.ply;
  E.followPv = 0;
  for (int i = E.moveListEnd[p - 1] + 1; i <= E.moveListEnd[p]; i++) {
    if (E.moveFrom[i] == E.pvFrom[1][p] && E.moveTo[i] == E.pvTo[1][p]) {
      E.moveScore[i] = kPvScore;
      E.followPv = 1;
    }
  }
}

int PickBestMove() {
  const int p = E.ply;
  int best = 0, bestScore = kTried;
  for (int i = E.moveListEnd[p - 1] + 1; i <= E.moveListEnd[p]; i++) {
    if (E.moveScore[i] > bestScore) {
      bestScore = E.moveScore[i];
      best = i;
    }
  }
  if (best != 0) E.moveScore[best] = kTried;
  return best;
}

void UpdatePv(int from, int to) {
  const int p = E.ply;
  E.pvFrom[p][p] = from;
  E.pvTo[p][p] = to;
  const int end = E.pvLength[p + 1];
  for (int j = p + 1; j <= end; j++) {
    E.pvFrom[p][j] = E.pvFrom[p + 1][j];
    E.pvTo[p][j] = E.pvTo[p + 1][j];
  }
  E.pvLength[p] = end;
}
