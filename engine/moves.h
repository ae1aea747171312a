// Generating, testing, playing and taking back moves on the mailbox.
#pragma once

// Appends every pseudo-legal move of the side to move at moveCount + 1 on,
// each with its ordering score. Castling is generated only through squares
// that are not attacked. Sets kingCaptured when a move takes the enemy king.
void GenerateMoves();

// Append one move with the full-width ordering score.
void AddQuietMove(int from, int to);
void AddCaptureMove(int from, int to);

// 1 when the king of `side` (0 White, 1 Black) is attacked on the square the
// record keeps for it, else 0.
int InCheck(int side);

// Plays a move at the current ply and takes it back exactly. Castling, en
// passant and promotion (always to a queen) are recognised from the board.
void MakeMove(int from, int to);
void UnmakeMove(int from, int to);

// Captures only, with the quiescence ordering score; no castling, en passant
// or pushes.
void GenerateCaptures();
void AddQuiescenceCapture(int from, int to);

// The reduced make and its exact undo used by the quiescence search: pieces,
// lists and incrementalScore only (the score is turned over to the new side).
void MakeCapture(int from, int to);
void UnmakeCapture(int from, int to);
