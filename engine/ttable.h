// The transposition table: four parallel arrays indexed by the position key.
// An entry describes the position after a move and holds that move's score
// for the side that made it.
#pragma once

// Bound kinds.
constexpr int kBoundExact = 0, kBoundUpper = 1, kBoundLower = 2;

// |key mod 10,000,000| with a truncating remainder: 0 .. 9,999,999.
inline int TtIndex(int key) {
  const int r = key % 10000000;
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

// Empties the table by clearing every reachable depth byte.
void TtClear();

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
