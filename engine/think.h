// The computer's turn: limits from the level, clearing, the opening book,
// iterative deepening, playing the move and announcing the end of the game.
#pragma once

#include "hooks.h"

// Sets timeLimit and maxDepth for a playing level (1 Novice .. 4 Expert); a
// level outside 1..4 plays as level 1.
void SetLevelLimits(int level);

// Prepares a turn: ply 1, the root side, the material balance, a new root
// bonus, and cleared killers, counter-moves, history, principal variation
// and transposition table. searchStart must be set by the caller first.
void PrepareSearch();

// Iterative deepening from depth 1 until time, maxDepth or a mate score
// stops it. The move is in pvFrom[1][1], pvTo[1][1]; returns its score.
int DeepenSearch();

// One whole computer move for the side to move, at a playing level.
void ThinkAndMove(int level);

// Ends the running search at its next node exactly as the level's time
// running out would: the computer plays the best move it has finished (when
// it has finished none, the one-ply search that follows finds one). For the
// search's event poll, when the program is asked to end.
void StopThinking();

// 1 when the position after the last game move is one the program announces
// as a draw: its third occurrence in the game, or too little material on
// both sides to mate (at most a minor piece each, no pawns). Refreshes the
// material counts.
int DrawByRule();

// After a game move: announces a draw by repetition or by insufficient
// material once (gameEndMove remembers it).
void CheckDrawAnnouncements();
