// Position setup, the position key and repetition counting.
#pragma once

#include <cstdint>

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

// ResetGame with an empty game record, ready for the first move at ply 1.
void NewGame();

// Creates the engine, seeds the shared random generator, fills the keys and
// starts a new game: what every tool and test needs before anything else.
void StartEngine(uint32_t seed);

// Rebuilds the derived fields from the board and compares them with the kept
// ones; returns an empty string when they agree, else what differs. Used by
// tests and self-checking builds.
const char* PositionSelfCheck();

// In self-checking builds (debug and sanitizer builds), stops the program
// with a message when PositionSelfCheck finds a difference; otherwise does
// nothing.
void VerifyPosition(const char* where);
