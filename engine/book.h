// The opening book: lines of (origin, destination) square bytes, each line
// ended by a 0 byte, read from "korvin.bok". The book is checked when it is
// loaded: every line is replayed from the initial position and cut at its
// first byte that is not a playing square or whose move is not legal, so a
// damaged or hand-edited file can never make the engine play an illegal move.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Why a line of the file was cut short.
enum BookCutReason {
  kBookCutNotSquare = 1,   // a byte that is not a playing square
  kBookCutIllegal = 2,     // a move that is not legal in the line's position
  kBookCutTooLong = 3,     // more half-moves than the replay can hold
  kBookCutUnended = 4,     // the data ends inside the line (no end byte)
};

// One cut: the line (1 = first line of the file), the offset of the byte
// where the line broke (0 = first byte of the file) and the reason.
struct BookCut {
  int line;
  long long offset;
  int reason;
};

// What the last load found. Filled by every load of the book; read by the
// tools.
struct BookLoadReport {
  int opened;          // 0 when the file could not be opened
  std::string failure; // why not ("file not found", "not a regular file (a named pipe)")
  int oversize;        // 1 when the data was longer than the book can hold
  long long bytesRead; // bytes taken from the data (at most kBookBytes)
  int lines;           // lines kept, empty ones included
  int moves;           // half-moves kept
  std::vector<BookCut> cuts;
};
extern BookLoadReport bookLoadReport;

// Longest line the loader keeps, in half-moves.
constexpr int kBookLineLimit = 100;

// Loads the book from the bytes of a book file (the file itself is read by
// storage/book_file.h). Only the first kBookBytes bytes are used; `longer`
// tells that the file held more than the bytes given.
void LoadBookBytes(const unsigned char* data, size_t size, bool longer = false);

// Empties the book: its file could not be read, for `reason`.
void LoadNoBook(const std::string& reason);

// Looks for book lines that begin with exactly the moves of the game and picks
// one of their next moves at random. Returns 1 with the move in pvFrom[1][1],
// pvTo[1][1], or 0 when no line goes on from the game.
int ProbeBook();

// A plain-English name for a cut reason.
const char* BookCutReasonText(int reason);
