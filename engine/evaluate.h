// The positional score of the current position (material is kept apart, in
// incrementalScore).
#pragma once

// The positional score from the point of view of the side that has just moved
// (the side not to move). Reads the position, castling state, the root move,
// rootSide and the game record; writes only the evaluation scratch of E.
int Evaluate();

// Distance of a square from the centre point of the board, counted as file
// distance plus rank distance: 1 on d4, e4, d5 and e5, up to 7 in a corner.
inline int CentreDistance(int sq) {
  const int f = 2 * (sq % 10) - 11, r = 2 * (sq / 10) - 11;
  return ((f < 0 ? -f : f) + (r < 0 ? -r : r)) / 2;
}

// The White and the Black accumulator of the last Evaluate call, kept for the
// tests and tools that look at one side's share.
extern int evalWhiteTotal, evalBlackTotal;
