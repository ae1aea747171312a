#include "ttable.h"

#include <cstring>

#include "engine_state.h"

// The probe reads the key and depth; the store that usually follows writes
// all four arrays, so all four entries are asked for at once.
void TtPrefetchMove(int from, int to) {
  const int p = E.board[from], q = E.board[to];
  int key = E.positionKey ^ E.zobristKeys[from][p] ^ E.zobristKeys[to][p] ^ E.sideKey;
  if (q != kEmpty) key ^= E.zobristKeys[to][q];
  const int idx = TtIndex(key);
  __builtin_prefetch(&E.ttKey[idx]);
  __builtin_prefetch(&E.ttDepth[idx]);
  __builtin_prefetch(&E.ttBound[idx], 1);
  __builtin_prefetch(&E.ttScore[idx], 1);
}

int TtProbe(int alpha, int beta, int depth, int& score) {
  const int idx = TtIndex(E.positionKey);
  if (E.ttKey[idx] != E.positionKey || E.ttDepth[idx] < depth) return 0;
  const int bound = E.ttBound[idx];
  int s = E.ttScore[idx];
  if (!(bound == kBoundExact || (bound == kBoundUpper && s <= alpha) ||
        (bound == kBoundLower && s >= beta)))
    return 0;
  if (s > kMateBound) s -= E.ply;
  if (s < -kMateBound) s += E.ply;
  score = s;
  return 1;
}

void TtStore(int alpha, int beta, int depth, int score) {
  const int idx = TtIndex(E.positionKey);
  if (depth < E.ttDepth[idx]) return;
  E.ttKey[idx] = E.positionKey;
  E.ttDepth[idx] = static_cast<uint8_t>(depth & 0xFF);
  int stored = score;
  if (score > kMateBound) stored += E.ply;
  if (score < -kMateBound) stored -= E.ply;
  E.ttScore[idx] = stored;
  uint8_t bound = kBoundExact;
  if (score <= alpha)
    bound = kBoundUpper;
  else if (score >= beta)
    bound = kBoundLower;
  E.ttBound[idx] = bound;
}

void TtClear() { std::memset(E.ttDepth, 0, kTtIndexRange); }
