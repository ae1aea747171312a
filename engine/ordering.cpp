#include "ordering.h"

#include <algorithm>

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

// Two passes: the highest score (a loop the compiler can vectorise), then
// the earliest slot holding it.
int PickBestMove() {
  const int p = E.ply;
  const int first = E.moveListEnd[p - 1] + 1, last = E.moveListEnd[p];
  int bestScore = kTried;
  for (int i = first; i <= last; i++) bestScore = std::max(bestScore, E.moveScore[i]);
  if (bestScore == kTried) return 0;
  int best = first;
  while (E.moveScore[best] != bestScore) best++;
  E.moveScore[best] = kTried;
  return best;
}

namespace {

// The untried slots of this ply in the order PickBestMove would take them,
// into moveOrder from the ply's first slot on: an insertion sort in which a
// slot moves in front of strictly lower scores only, so equal scores keep
// their slot order.
void SortUntriedMoves(int first, int last) {
  int* order = &E.moveOrder[first];
  int count = 0;
  for (int i = first; i <= last; i++) {
    const int score = E.moveScore[i];
    if (score == kTried) continue;
    int j = count++;
    for (; j > 0 && E.moveScore[order[j - 1]] < score; j--) order[j] = order[j - 1];
    order[j] = i;
  }
}

}  // namespace

int NextMove(int& taken) {
  int chosen;
  if (taken < kSinglePicks) {
    chosen = PickBestMove();
  } else {
    const int first = E.moveListEnd[E.ply - 1] + 1;
    if (taken == kSinglePicks) SortUntriedMoves(first, E.moveListEnd[E.ply]);
    chosen = E.moveOrder[first + taken - kSinglePicks];
    E.moveScore[chosen] = kTried;
  }
  taken++;
  return chosen;
}

int UpcomingMove(int taken, int ahead) {
  if (taken <= kSinglePicks) return 0;
  return E.moveOrder[E.moveListEnd[E.ply - 1] + taken - kSinglePicks + ahead];
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
