// The limits of one "go" command: what it asked for and how much time the
// search may take.
#pragma once

#include <string>
#include <vector>

struct GoLimits {
  int whiteTime = -1, blackTime = -1;   // milliseconds left; -1 = not given
  int whiteIncrement = 0, blackIncrement = 0;
  int movesToGo = 0;                    // 0 = not given
  int depth = 0;                        // 0 = not given
  int moveTime = 0;                     // 0 = not given
  bool infinite = false;                // "infinite", "ponder", or no limit at all
};

// Reads the words after "go". Words that are not understood are skipped;
// `notes` collects a line about each of them.
GoLimits ParseGoWords(const std::vector<std::string>& words, std::vector<std::string>& notes);

// Milliseconds for one move from a clock: an even share of what is left
// (over movesToGo moves, 30 when unknown) plus three quarters of the
// increment, less the overhead, never more than a third of what is left
// after the overhead, and at least 1.
int AllocateTimeMs(int remaining, int increment, int movesToGo, int overhead);

// The search limits for the side to move (0 White, 1 Black): the time in
// milliseconds and the depth of iterative deepening.
void SearchLimits(const GoLimits& limits, int side, int overhead, int& timeLimit, int& maxDepth);

// Time limit that no search reaches (about 24 days).
constexpr int kNoTimeLimit = 2147483647;
