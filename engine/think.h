// The computer's turn: limits from the level, clearing, the opening book,
// iterative deepening, playing the move and announcing the end of the game.
#pragma once

// Result kinds shown by the window program.
constexpr int kResultCheckmate = 1, kResultStalemate = 2, kResultDraw = 3;
constexpr int kResultMs = 3000;

// What the window program installs; null while there is none.
extern void (*refreshBoardHook)(int lastFrom, int lastTo, int selected);
extern void (*showResultHook)(int kind, int milliseconds);
// Called once the computer's move is played, recorded and shown, before a
// result is announced: the window program keeps the game then.
extern void (*movePlayedHook)();
// Called after every iteration of iterative deepening (tools print lines).
extern void (*iterationHook)(int depth, int score);

// Sets timeLimit and maxDepth from settings.level; a level outside 1..4
// plays as level 1.
void SetLevelLimits();

// Prepares a turn: ply 1, the root side, the material balance, a new root
// bonus, and cleared killers, counter-moves, history, principal variation
// and transposition table. searchStart must be set by the caller first.
void PrepareSearch();

// Iterative deepening from depth 1 until time, maxDepth or a mate score
// stops it. The move is in pvFrom[1][1], pvTo[1][1]; returns its score.
int DeepenSearch();

// One whole computer move for the side to move.
void ThinkAndMove();

// 1 when the position after the last game move is one the program announces
// as a draw: its third occurrence in the game, or too little material on
// both sides to mate (at most a minor piece each, no pawns). Refreshes the
// material counts.
int DrawByRule();

// After a game move: announces a draw by repetition or by insufficient
// material once (gameEndMove remembers it).
void CheckDrawAnnouncements();
