#include "position.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine_state.h"
#include "system.h"

namespace {

// A key is a value in 0..2^31-1, negated when a second draw says so.
int DrawKey() {
  int value = RandomInt(0, 2147483647);
  if (RandomInt(0, 1) == 1) value = -value;
  return value;
}

}  // namespace

void InitKeys() {
  for (int s = 1; s <= 120; s++) {
    for (int c = 1; c <= 14; c++) E.zobristKeys[s][c] = DrawKey();
    E.epCaptureKeys[s] = DrawKey();
  }
}

void InitSideKey() { E.sideKey = DrawKey(); }

int PositionReset() {
  E.whitePieceCount = E.blackPieceCount = 0;
  E.whiteMaterial = E.blackMaterial = 0;
  E.whitePawnCount = E.blackPawnCount = 0;
  for (int s = 22; s <= 99; s++) {
    const int c = E.board[s];
    if (c > kOffBoard) {
      if (c == kBlackKing)
        E.blackKingSquare = s;
      else
        E.blackMaterial += pieceValue[c];
      if (c == kBlackPawn) E.blackPawnCount++;
      E.blackPieces[++E.blackPieceCount] = s;
      E.pieceIndex[s] = E.blackPieceCount;
    } else if (c < kEmpty) {
      if (c == kWhiteKing)
        E.whiteKingSquare = s;
      else
        E.whiteMaterial += pieceValue[c];
      if (c == kWhitePawn) E.whitePawnCount++;
      E.whitePieces[++E.whitePieceCount] = s;
      E.pieceIndex[s] = E.whitePieceCount;
    }
  }
  return E.sideToMove == 1 ? E.blackMaterial - E.whiteMaterial
                           : E.whiteMaterial - E.blackMaterial;
}

void ComputeKey() {
  int key = 0;
  for (int i = 1; i <= E.blackPieceCount; i++) {
    const int s = E.blackPieces[i];
    if (E.board[s] > kOffBoard) key ^= E.zobristKeys[s][E.board[s]];
  }
  for (int i = 1; i <= E.whitePieceCount; i++) {
    const int s = E.whitePieces[i];
    if (s != 0 && E.board[s] < kEmpty) key ^= E.zobristKeys[s][E.board[s]];
  }
  E.positionKey = key;
  E.keyHistory[0] = key;
}

int KeyFromScratch() {
  int key = 0;
  for (int s = 22; s <= 99; s++) {
    const int c = E.board[s];
    if (c != kEmpty && c != kOffBoard) key ^= E.zobristKeys[s][c];
  }
  if (E.sideToMove == 1) key ^= E.sideKey;
  return key;
}

int RepetitionCount(int n) {
  const int key = E.keyHistory[n];
  int count = 0;
  for (int i = 1; i < n; i++)
    if (E.keyHistory[i] == key) count++;
  return count;
}

void ResetGame() {
  std::memcpy(&E.board[1], &initialBoard[1], 120 * sizeof(int));
  E.incrementalScore = PositionReset();
  E.sideToMove = 0;
  E.gameMoveNumber = 0;
  E.gameEndMove = 0;
  E.castleRights = 15;
  E.whiteCastled = 0;
  E.blackCastled = 0;
  E.mateThreshold = kMateBound;
  // No move stands before the first one: nothing for en passant, recapture
  // or counter-move tests to find.
  E.capturedPiece[0] = kEmpty;
  E.epSquare[0] = 0;
  E.promotedPiece[0] = 0;
  E.plyFrom[0] = E.plyTo[0] = 0;
  ComputeKey();
}

void NewGame() {
  ResetGame();
  E.gameFrom[1] = -1;
  E.ply = 1;
  E.moveCount = 0;
}

void StartEngine(uint32_t seed) {
  CreateEngine();
  SeedRandom(seed);
  InitKeys();
  InitSideKey();
  NewGame();
}

const char* PositionSelfCheck() {
  // Every piece on the board must be in its colour's list at its pieceIndex.
  int whiteSeen = 0, blackSeen = 0;
  for (int s = 1; s <= 120; s++) {
    const int c = E.board[s];
    if (!IsPlayingSquare(s)) {
      if (c != kOffBoard) return "an off-board index holds a piece code";
      continue;
    }
    if (c < 1 || c > 14 || c == kOffBoard) return "a playing square holds an invalid code";
    if (c == kEmpty) continue;
    const int slot = E.pieceIndex[s];
    if (c < kEmpty) {
      if (slot < 1 || slot > E.whitePieceCount || E.whitePieces[slot] != s)
        return "a white piece is missing from the white list";
      whiteSeen++;
      if (c == kWhiteKing && E.whiteKingSquare != s) return "whiteKingSquare is wrong";
    } else {
      if (slot < 1 || slot > E.blackPieceCount || E.blackPieces[slot] != s)
        return "a black piece is missing from the black list";
      blackSeen++;
      if (c == kBlackKing && E.blackKingSquare != s) return "blackKingSquare is wrong";
    }
  }
  // Every nonzero list slot must name a square holding a piece of that colour.
  int whiteSlots = 0, blackSlots = 0;
  for (int i = 1; i <= E.whitePieceCount; i++) {
    const int s = E.whitePieces[i];
    if (s == 0) continue;
    if (!IsPlayingSquare(s) || E.board[s] >= kEmpty) return "a white list slot names no white piece";
    whiteSlots++;
  }
  for (int i = 1; i <= E.blackPieceCount; i++) {
    const int s = E.blackPieces[i];
    if (s == 0) continue;
    if (!IsPlayingSquare(s) || E.board[s] <= kOffBoard) return "a black list slot names no black piece";
    blackSlots++;
  }
  if (whiteSlots != whiteSeen || blackSlots != blackSeen) return "a list holds a piece twice";
  if (E.board[0] != 0) return "board[0] is not 0";
  return "";
}

void VerifyPosition([[maybe_unused]] const char* where) {
#ifdef KORVIN_SELF_CHECK
  const char* problem = PositionSelfCheck();
  if (problem[0] != '\0') {
    std::fprintf(stderr, "position self-check failed %s: %s\n", where, problem);
    std::abort();
  }
#endif
}
