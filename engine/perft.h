// Legal-move path counting, the standard check of a move generator.
#pragma once

#include <cstdint>

// The deepest perft the move stack can hold (about 218 moves per ply at most).
constexpr int kMaxPerftDepth = 15;

// Counts the legal move paths of `depth` half-moves from the current position
// (ply must be 1). A move is legal when, after MakeMove, the side that moved
// is not in check, as the program tests a human move.
int64_t Perft(int depth);
