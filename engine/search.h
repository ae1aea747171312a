// The computer's game-tree search: principal variation search over the full
// width with a capture-only quiescence search below its frontier.
#pragma once

// Called once at every full-width node to let the window program take one
// pending event; null while no window program is installed.
extern void (*searchPollHook)();

// The best score of the position for the side to move, searched `depth`
// full-width plies deep within the window (alpha, beta).
int Search(int alpha, int beta, int depth);

// Captures only, fail-hard, standing pat on the carried incrementalScore.
int Quiesce(int alpha, int beta);
