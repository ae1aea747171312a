// Position setup, the position key and repetition counting.
#pragma once

// Fills zobristKeys and epCaptureKeys from the shared random generator (which
// the caller has seeded).
void InitKeys();

// Draws sideKey from the shared random generator.
void InitSideKey();

// Rebuilds piece lists, king squares, material and pawn counts from the board
// and returns the material balance seen by the side to move.
int PositionReset();

// Computes positionKey from scratch for the starting position (no side term)
// and stores it in keyHistory[0].
void ComputeKey();

// The key of the current position computed from scratch, with the side term
// when Black is to move.
int KeyFromScratch();

// Number of indices 1..n-1 whose key equals keyHistory[n].
int RepetitionCount(int n);

// Brings the position back to the start of a game.
void ResetGame();

// Rebuilds the derived fields from the board and compares them with the kept
// ones; returns an empty string when they agree, else what differs. Used by
// tests and self-checking builds.
const char* PositionSelfCheck();

// In self-checking builds (debug and sanitizer builds), stops the program
// with a message when PositionSelfCheck finds a difference; otherwise does
// nothing.
void VerifyPosition(const char* where);
