// Square and move names in coordinate notation, and setting up a position
// from a FEN string. Used by the tools; the window program needs neither.
#pragma once

#include <string>

// "e4" for square 56; "" for an index that is not a playing square.
std::string SquareName(int square);

// The square of a name like "e4", or 0.
int ParseSquare(const std::string& name);

// "e2e4"; a pawn move to the last rank gets the suffix "q". "0000" for no move.
std::string MoveName(int from, int to);

// Splits "e7e8q" into squares and a promotion letter ('\0' when none).
// Returns false when the text is not a move in coordinate notation.
bool ParseMoveText(const std::string& text, int& from, int& to, char& promotion);

// Sets up the position of a FEN string as a fresh game with no record. On
// failure returns false with the reason in `error` and leaves the engine's
// position unchanged.
bool SetupFen(const std::string& fen, std::string& error);

// Plays a move in coordinate notation as a game move, the way the program
// records a human move: legality test, the move, the record, the promotion
// piece, then the material and pawn counts. Returns false with the reason.
bool PlayMoveText(const std::string& text, std::string& error);

// Row 1 of the principal variation in coordinate notation, cut before the
// first move that is not legal in its position (a line whose end takes a
// king, or a line copied from a sibling that no longer fits). The moves are
// played on the board to check them and taken back.
std::string PrincipalVariationText();

// The FEN of the current position (castling, en passant target and side).
std::string CurrentFen();
