// Game moves: the legality test of a move offered for the game, playing a
// move into the game record, and stepping through the record.
#pragma once

// 1 when (from, to) is a generated move of the side to move that does not
// leave the mover's king attacked. The position, the key and the key history
// come out exactly as they went in; ply is left at 1.
int IsLegalMove(int from, int to);

// The same test at the current ply, with the move stack above moveCount as
// scratch; ply and moveCount come out as they went in.
int IsLegalHere(int from, int to);

// Plays (from, to) as the next half-move of the game at ply 0 and records it,
// discarding any later moves of the record. A promotion makes a queen; the
// caller may replace it with SetPromotion. Returns 0 without changing
// anything when the record is full.
int PlayGameMove(int from, int to);

// Replaces the queen of the promotion just played by `code` (a piece of the
// mover's colour) on the board and in the record.
void SetPromotion(int code);

// One half-move back through the record (0 when at the start): the slot-0
// undo data is restored from the record and the piece lists are rebuilt.
int StepBackGameMove();

// One half-move forward through the record (0 when at its end).
int StepForwardGameMove();

// To the start of the record (0 when already there); the mate threshold is
// that of a new game again.
int StepBackToStart();

// To the end of the record (0 when already there); the mate threshold stays.
int StepForwardToEnd();

// 1 when the side to move has a legal move (the game is not over by mate or
// stalemate). The position comes out as it went in; ply is left at 1.
int SideToMoveHasMove();
