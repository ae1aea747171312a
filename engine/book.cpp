#include "book.h"

#include <cstring>

#include "engine_state.h"
#include "game.h"
#include "moves.h"
#include "position.h"
#include "snapshot.h"
#include "system.h"

BookLoadReport bookLoadReport;

namespace {

// The initial position as the root of a scratch replay: game number 0, so
// the moves of a line write keyHistory[1..] and the per-ply slots 1...
void SetUpReplay() {
  std::memcpy(E.board, initialBoard, sizeof(E.board));
  E.sideToMove = 0;
  E.castleRights = 15;
  E.whiteCastled = E.blackCastled = 0;
  E.gameMoveNumber = 0;
  E.incrementalScore = PositionReset();
  E.ply = 1;
  E.moveCount = 0;
  E.moveListEnd[0] = 0;
  E.epSquare[0] = 0;
  E.plyFrom[0] = E.plyTo[0] = 0;
}

// Plays (from, to) at the current ply when it is a generated move that does
// not leave the mover's king attacked; returns 1 when played, 0 when not
// (the position is then unchanged).
int PlayIfLegal(int from, int to) {
  E.moveCount = 0;
  if (!IsLegalHere(from, to)) return 0;
  MakeMove(from, to);
  return 1;
}

void RecordCut(int line, long long offset, int reason) {
  bookLoadReport.cuts.push_back(BookCut{line, offset, reason});
}

// Replays every line of `data` from the initial position and writes the legal
// part of each, followed by its end byte, into bookBytes. Returns the number
// of bytes written.
int CheckAndStoreLines(const unsigned char* data, long long size) {
  int out = 0;
  int lineFrom[kBookLineLimit + 1], lineTo[kBookLineLimit + 1];
  long long pos = 0;
  int lineNumber = 0;
  while (pos < size) {
    lineNumber++;
    SetUpReplay();
    int kept = 0;
    int reason = 0;
    long long cutAt = 0;
    while (true) {
      if (pos >= size) {
        reason = kBookCutUnended;
        cutAt = size;
        break;
      }
      const int from = data[pos];
      if (from == 0) {
        pos++;
        break;
      }
      if (!IsPlayingSquare(from)) {
        reason = kBookCutNotSquare;
        cutAt = pos;
        break;
      }
      if (pos + 1 >= size) {
        reason = kBookCutUnended;
        cutAt = pos;
        break;
      }
      const int to = data[pos + 1];
      if (!IsPlayingSquare(to)) {
        reason = kBookCutNotSquare;
        cutAt = pos + 1;
        break;
      }
      if (kept == kBookLineLimit) {
        reason = kBookCutTooLong;
        cutAt = pos;
        break;
      }
      if (!PlayIfLegal(from, to)) {
        reason = kBookCutIllegal;
        cutAt = pos;
        break;
      }
      kept++;
      lineFrom[kept] = from;
      lineTo[kept] = to;
      pos += 2;
    }
    // Take the line back so that the scratch position is clean again.
    for (int i = kept; i >= 1; i--) UnmakeMove(lineFrom[i], lineTo[i]);

    if (reason != 0) {
      RecordCut(lineNumber, cutAt, reason);
      // The rest of a broken line is skipped up to and including its end byte.
      while (pos < size && data[pos] != 0) pos++;
      if (pos < size) pos++;
    }

    // A line with no end byte in the data gains one; where the book is full
    // the last half-move makes room for it.
    while (kept > 0 && out + 2 * kept + 1 > kBookBytes) kept--;
    if (out + 1 > kBookBytes) break;
    for (int i = 1; i <= kept; i++) {
      E.bookBytes[++out] = lineFrom[i];
      E.bookBytes[++out] = lineTo[i];
    }
    E.bookBytes[++out] = 0;
    bookLoadReport.lines++;
    bookLoadReport.moves += kept;
  }
  return out;
}

// Empties the book and the report before a load.
void ClearBook() {
  E.bookLength = 0;
  bookLoadReport.opened = 0;
  bookLoadReport.oversize = 0;
  bookLoadReport.bytesRead = 0;
  bookLoadReport.lines = 0;
  bookLoadReport.moves = 0;
  bookLoadReport.cuts.clear();
  bookLoadReport.failure.clear();
}

// Loads the first kBookBytes bytes of `data`; `oversize` says the source had
// more.
void StoreBook(const unsigned char* data, long long size, bool oversize) {
  bookLoadReport.opened = 1;
  bookLoadReport.oversize = oversize ? 1 : 0;
  if (size > kBookBytes) {
    size = kBookBytes;
    bookLoadReport.oversize = 1;
  }
  bookLoadReport.bytesRead = size;
  // The replay leaves the position, the game and the search scratch exactly
  // as they were; only the book itself changes.
  KeepEngine();
  const int out = CheckAndStoreLines(data, size);
  RestoreEngine(true);
  E.bookLength = out + 1;
}

// XOR of the piece keys of the initial position: keyHistory[0] of every game
// that started there.
int InitialPositionKey() {
  int key = 0;
  for (int s = 22; s <= 99; s++) {
    const int c = initialBoard[s];
    if (c != kEmpty && c != kOffBoard) key ^= E.zobristKeys[s][c];
  }
  return key;
}

}  // namespace

void LoadBookBytes(const unsigned char* data, size_t size, bool longer) {
  ClearBook();
  if (data == nullptr) size = 0;
  const bool oversize = longer || size > static_cast<size_t>(kBookBytes);
  StoreBook(data, size > static_cast<size_t>(kBookBytes) ? kBookBytes : static_cast<long long>(size),
            oversize);
}

void LoadNoBook(const std::string& reason) {
  ClearBook();
  bookLoadReport.failure = reason;
}

// Lines are compared with the game half-move by half-move; every line that
// holds the whole game and goes on gives its next half-move as a candidate.
// Candidates are not merged, so a move shared by several lines is chosen that
// much more often. Only the first kBookCandidates are kept.
int ProbeBook() {
  const int n = E.gameMoveNumber;
  if (n < 0 || n > kMaxGameMoves) return 0;
  // Book lines start from the initial position; a game set up elsewhere has
  // another key at its start and never matches.
  if (E.keyHistory[0] != InitialPositionKey()) return 0;
  const int end = E.bookLength < kBookBytes + 1 ? E.bookLength : kBookBytes + 1;
  int count = 0;
  int k = 1;
  while (k < end) {
    int l = 1;
    while (l <= n && k + 1 < end && E.bookBytes[k] != 0 && E.bookBytes[k] == E.gameFrom[l] &&
           E.bookBytes[k + 1] == E.gameTo[l]) {
      l++;
      k += 2;
    }
    if (l > n && k + 1 < end && E.bookBytes[k] != 0 && count < kBookCandidates) {
      count++;
      E.bookCandidateFrom[count] = E.bookBytes[k];
      E.bookCandidateTo[count] = E.bookBytes[k + 1];
    }
    while (k < end && E.bookBytes[k] != 0) k += 2;
    k++;
  }
  if (count == 0) return 0;
  const int r = RandomInt(0, count - 1) + 1;
  E.pvFrom[1][1] = E.bookCandidateFrom[r];
  E.pvTo[1][1] = E.bookCandidateTo[r];
  return 1;
}

const char* BookCutReasonText(int reason) {
  switch (reason) {
    case kBookCutNotSquare: return "a byte that is not a playing square";
    case kBookCutIllegal: return "a move that is not legal in that position";
    case kBookCutTooLong: return "the line is longer than 100 half-moves";
    case kBookCutUnended: return "the data ends inside the line (no end byte)";
    default: return "unknown";
  }
}
