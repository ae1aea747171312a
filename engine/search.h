// The computer's game-tree search: principal variation search over the full
// width with a capture-only quiescence search below its frontier.
#pragma once

#include "hooks.h"

// The best score of the position for the side to move, searched `depth`
// full-width plies deep within the window (alpha, beta).
int Search(int alpha, int beta, int depth);

// Captures only, fail-hard, standing pat on the carried incrementalScore.
int Quiesce(int alpha, int beta);
