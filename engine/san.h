// Moves in standard algebraic notation ("Nbd7", "exd6", "O-O-O", "e8=N+"),
// the notation of game scores: naming a legal move of the current position
// and finding the legal move a name stands for.
#pragma once

#include <string>

// Legal moves of the side to move, at most 256 (no position has more than
// 218). Generated at the current ply with the move stack above moveCount as
// scratch; the position, ply and moveCount come out as they went in.
int ListLegalMoves(int from[256], int to[256]);

// The name of the legal move (from, to) in the current position. `promotion`
// is the code of the piece a promoting pawn becomes (0 or the queen's code
// for a queen). The name ends in "+" when the move gives check and in "#"
// when it mates.
std::string SanName(int from, int to, int promotion);

// Finds the legal move that `text` names, in the usual variations: "O-O" or
// "0-0", "e8=Q" or "e8Q", with or without a capture mark, check marks,
// "!"/"?" and "e.p." after the move, a long form like "Ng1-f3". Sets from, to
// and promotion (the promoted piece's code, 0 when the move does not
// promote) and returns true; otherwise returns false with the reason in
// `error`: "not a move", "not a legal move", "ambiguous" or "needs a
// promotion piece".
bool ParseSan(const std::string& text, int& from, int& to, int& promotion, std::string& error);
