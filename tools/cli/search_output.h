// Running searches for the tools and printing their results.
#pragma once

#include <string>

// The driver's preparation and iterative deepening for the current position
// with these limits (no move is played); returns the score. A zero bonus
// makes every run reproducible; printLines prints each iteration.
int RunSearch(int maxDepth, int timeLimit, bool zeroBonus, bool printLines);

// Prints "info depth <d> score <s> nodes <n> qnodes <q> pv <moves>".
void PrintIterationLine(int depth, int score);
