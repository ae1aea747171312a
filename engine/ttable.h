// The transposition table: one entry per index of the position key.
// An entry describes the position after a move and holds that move's score
// for the side that made it.
#pragma once

#include "engine_state.h"

// Bound kinds.
constexpr int kBoundExact = 0, kBoundUpper = 1, kBoundLower = 2;

// |key mod kTtIndexRange| with a truncating remainder: 0 .. kTtIndexRange - 1.
inline int TtIndex(int key) {
  const int r = key % kTtIndexRange;
  return r < 0 ? -r : r;
}

// Starts loading the entry of the position after (from, to), a move of the
// side to move; castling, en passant and promotion change the key further, so
// for them this only loads an entry that may not be needed.
void TtPrefetchMove(int from, int to);

// A usable stored score for the current position at this depth and window,
// with mate scores brought back to the current ply. Returns 1 and the score
// in `score`, or 0.
int TtProbe(int alpha, int beta, int depth, int& score);

// Stores a score for the current position unless the entry holds a deeper
// result; mate scores are kept relative to the current ply.
void TtStore(int alpha, int beta, int depth, int score);

// Empties the table: every entry's depth becomes 0, so it never hits and is
// replaced by the next store; keys, bounds and scores stay in place.
void TtClear();

// What entry `idx` holds: its key, its depth (0 while emptied), its bound
// and its stored score (a mate score relative to the ply that stored it).
void TtReadEntry(int idx, int& key, int& depth, int& bound, int& score);

// The table's 100 MB are zero pages that the system supplies one at a time
// as they are first touched, which can take a fraction of a second on a
// fresh machine. These make every page resident before the first search:
// WarmUpTable does it now (10 to a few hundred ms the first time, nothing
// later); StartTableWarmUp does it on a helper thread and returns at once,
// and WaitForTableWarmUp waits until that helper is done (TtClear and the
// computer's turn wait for it before they use the table).
void WarmUpTable();
void StartTableWarmUp();
void WaitForTableWarmUp();
