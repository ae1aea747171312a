// Drawing the board from the display copy, and the result banners.
#pragma once

// Piece picture size in percent of the square size, by piece code.
extern const int pieceWidthPercent[15];
extern const int pieceHeightPercent[15];

// Draws the 64 cells from displayBoard with the last move's ghost and the
// selected square, then presents the frame.
void DrawBoard(int lastFrom, int lastTo, int selected);

// Copies the position into displayBoard, then draws it.
void RefreshBoard(int lastFrom, int lastTo, int selected);

// How long a result picture stays up.
constexpr int kResultMs = 3000;

// Shows result picture `kind` (1 checkmate, 2 stalemate, 3 draw) in a bare
// window over the board for `milliseconds`.
void ShowResult(int kind, int milliseconds);

// The same for kResultMs: what the computer's turn announces.
void ShowResultBanner(int kind);
