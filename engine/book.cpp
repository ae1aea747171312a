#include "book.h"

#include <cstring>

#include "atomic_file.h"
#include "engine_state.h"
#include "game.h"
#include "moves.h"
#include "position.h"
#include "system.h"

BookLoadReport bookLoadReport;

namespace {

// The bytes of the book file, read once at start-up.
std::vector<unsigned char> fileBytes;

// The fields a replay touches, kept aside so that loading a book leaves the
// position, the game and the search scratch exactly as they were.
struct SavedFields {
  int board[121];
  int sideToMove, castleRights, whiteKingSquare, blackKingSquare;
  int whitePieces[17], blackPieces[17];
  int whitePieceCount, blackPieceCount;
  int pieceIndex[121];
  int whiteMaterial, blackMaterial, whitePawnCount, blackPawnCount;
  int whiteCastled, blackCastled, incrementalScore, positionKey, ply;
  int moveFrom[kMoveSlots + 1], moveTo[kMoveSlots + 1], moveScore[kMoveSlots + 1];
  int moveCount;
  int moveListEnd[kPlySlots];
  int capturedPiece[kPlySlots], capturedIndex[kPlySlots], epSquare[kPlySlots];
  int promotedPiece[kPlySlots], savedCastleRights[kPlySlots];
  int plyFrom[kPlySlots], plyTo[kPlySlots];
  int gameMoveNumber;
  int keyHistory[kKeyHistorySlots];
  int kingCaptured, pieceCursor;
};
SavedFields saved;

// Copies one field (scalar or array) in either direction.
template <typename T>
void CopyField(T& to, const T& from) {
  std::memcpy(&to, &from, sizeof(T));
}

// Both directions of the save list; `keep` true stores E into `saved`.
void ExchangeFields(bool keep) {
  auto x = [keep](auto& mine, auto& engine) {
    if (keep)
      CopyField(mine, engine);
    else
      CopyField(engine, mine);
  };
  x(saved.board, E.board);
  x(saved.sideToMove, E.sideToMove);
  x(saved.castleRights, E.castleRights);
  x(saved.whiteKingSquare, E.whiteKingSquare);
  x(saved.blackKingSquare, E.blackKingSquare);
  x(saved.whitePieces, E.whitePieces);
  x(saved.blackPieces, E.blackPieces);
  x(saved.whitePieceCount, E.whitePieceCount);
  x(saved.blackPieceCount, E.blackPieceCount);
  x(saved.pieceIndex, E.pieceIndex);
  x(saved.whiteMaterial, E.whiteMaterial);
  x(saved.blackMaterial, E.blackMaterial);
  x(saved.whitePawnCount, E.whitePawnCount);
  x(saved.blackPawnCount, E.blackPawnCount);
  x(saved.whiteCastled, E.whiteCastled);
  x(saved.blackCastled, E.blackCastled);
  x(saved.incrementalScore, E.incrementalScore);
  x(saved.positionKey, E.positionKey);
  x(saved.ply, E.ply);
  x(saved.moveFrom, E.moveFrom);
  x(saved.moveTo, E.moveTo);
  x(saved.moveScore, E.moveScore);
  x(saved.moveCount, E.moveCount);
  x(saved.moveListEnd, E.moveListEnd);
  x(saved.capturedPiece, E.capturedPiece);
  x(saved.capturedIndex, E.capturedIndex);
  x(saved.epSquare, E.epSquare);
  x(saved.promotedPiece, E.promotedPiece);
  x(saved.savedCastleRights, E.savedCastleRights);
  x(saved.plyFrom, E.plyFrom);
  x(saved.plyTo, E.plyTo);
  x(saved.gameMoveNumber, E.gameMoveNumber);
  x(saved.keyHistory, E.keyHistory);
  x(saved.kingCaptured, E.kingCaptured);
  x(saved.pieceCursor, E.pieceCursor);
}

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
  ExchangeFields(true);
  const int out = CheckAndStoreLines(data, size);
  ExchangeFields(false);
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

void LoadBook() { LoadBookFile("korvin.bok"); }

// Only a regular file is read (a named pipe or a device would hold the
// start up), and only as much of it as the book holds.
void LoadBookFile(const char* path) {
  ClearBook();
  bool longer = false;
  if (!ReadFileStart(path, kBookBytes, fileBytes, longer, bookLoadReport.failure)) return;
  StoreBook(fileBytes.data(), static_cast<long long>(fileBytes.size()), longer);
}

void LoadBookBytes(const unsigned char* data, size_t size) {
  ClearBook();
  if (data == nullptr) size = 0;
  const bool oversize = size > static_cast<size_t>(kBookBytes);
  StoreBook(data, oversize ? kBookBytes : static_cast<long long>(size), oversize);
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
