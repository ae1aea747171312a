// Games in PGN, the text format every chess program, database and web site
// reads: writing the game record as one PGN game, and replacing the game
// record with a game read from PGN. Moves are replayed with the engine's own
// legality test, so an imported game is one the program could have played.
#pragma once

#include <cstddef>
#include <string>

// True when `path` ends in ".pgn" (in any letter case).
bool IsPgnPath(const std::string& path);

// The whole game record as PGN: the tags, the moves in standard algebraic
// notation and the result. For the program's own games the seven tags name
// the human and the program as White and Black from humanPlaysBlack
// (`level` 1..4 names the program's level, 0 leaves it out; `date`
// "YYYY.MM.DD" or "" when unknown), and the result is the one the program
// declares: the first draw it announces (repetition, too little material),
// else checkmate or stalemate at the end, else "*". While the record begins
// with the moves of the PGN game loaded last, it is written with that game's
// tags instead: the seven in their order ("?" for those it lacked), then the
// others as loaded; its result stays as loaded until moves are added, then
// it is the declared one (and a PlyCount tag counts the moves). The position
// and record are left as they were. Returns false with the reason in
// StorageError() when the record holds a move that is not legal.
bool GameToPgn(std::string& text, int level, const std::string& date);

// Today's date in the form of the Date tag, "2024.05.17".
std::string PgnDateToday();

// Writes GameToPgn's text to `path` atomically. A record without moves is
// refused and the file left alone. False with the reason in StorageError().
bool SavePgn(const char* path, int level, const std::string& date);

// Replaces the current game with game `number` (1 = the first) of the PGN
// text and leaves the position at its last move. The orientation follows
// the names (the program as White means the human plays Black); a game
// between others keeps the current orientation. A game from a set-up
// position, an illegal, ambiguous or unreadable move, or more than 999
// half-moves is refused with a message naming the game, the move number and
// the move in StorageError(); so is a game that leaves a comment, a
// variation or a tag open, since the rest of the text went into it, and one
// with more than 1000 tags. The game, the position, the orientation and the
// tags kept for GameToPgn are then exactly as they were. `count` is the
// number of games in the text. An imported game's tags are kept for
// GameToPgn.
bool ImportPgnBytes(const unsigned char* data, size_t size, int number, int& count);

// Forgets the tags of the PGN game loaded last: from now on the record is
// written with the program's own tags even where it begins with the same
// moves. For a new game, and when a game comes from anywhere but PGN.
void ForgetPgnTags();

// ImportPgnBytes on the contents of the file `path`. A file larger than
// 64 MB is refused unread ("the file is larger than 64 MB").
bool LoadPgn(const char* path, int number, int& count);
