#include "game.h"

#include "engine_state.h"
#include "moves.h"
#include "position.h"
#include "san.h"

// The move is played and taken back with the game number unchanged, so
// UnmakeMove reloads the key the position had before.
int IsLegalHere(int from, int to) {
  const int ply = E.ply, base = E.moveCount, savedEnd = E.moveListEnd[ply];
  E.kingCaptured = 0;
  GenerateMoves();
  const int last = E.moveCount;
  E.moveListEnd[ply] = last;  // UnmakeMove sets moveCount back to this
  int legal = 0;
  for (int i = base + 1; i <= last && !legal; i++) {
    if (E.moveFrom[i] != from || E.moveTo[i] != to) continue;
    MakeMove(from, to);
    legal = InCheck(1 - E.sideToMove) == 0;
    UnmakeMove(from, to);
  }
  E.moveCount = base;
  E.moveListEnd[ply] = savedEnd;
  return legal;
}

int IsLegalMove(int from, int to) {
  E.ply = 1;
  E.moveCount = 0;
  return IsLegalHere(from, to);
}

int PlayGameMove(int from, int to) {
  if (E.gameMoveNumber >= kMaxGameMoves) return 0;
  if (E.gameMoveNumber < E.gameEndMove) E.gameEndMove = 0;
  const int n = ++E.gameMoveNumber;
  E.ply = 0;
  MakeMove(from, to);
  E.gameFrom[n] = from;
  E.gameTo[n] = to;
  E.gameCaptured[n] = E.capturedPiece[0];
  E.gameCastleRights[n] = E.savedCastleRights[0];
  E.gameEpSquare[n] = E.epSquare[0];
  E.gamePromotion[n] = E.promotedPiece[0];
  E.gameFrom[n + 1] = -1;
  VerifyPosition("after a game move");
  return 1;
}

// The key keeps the queen's term, as for every promotion.
void SetPromotion(int code) {
  const int n = E.gameMoveNumber;
  E.gamePromotion[n] = code;
  E.board[E.gameTo[n]] = code;
}

int StepBackGameMove() {
  if (E.gameMoveNumber < 1) return 0;
  E.ply = 1;
  UnmakeMove(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber]);
  const int n = --E.gameMoveNumber;
  E.capturedPiece[0] = E.gameCaptured[n];
  E.savedCastleRights[0] = E.gameCastleRights[n];
  E.epSquare[0] = E.gameEpSquare[n];
  E.promotedPiece[0] = E.gamePromotion[n];
  E.mateThreshold -= 1;
  // The record keeps no piece-list slot of a captured piece, so after a
  // second step back over captures the lists could file a piece under the
  // wrong slot; rebuild them from the board.
  PositionReset();
  VerifyPosition("after stepping back");
  return 1;
}

int StepForwardGameMove() {
  if (E.gameFrom[E.gameMoveNumber + 1] == -1) return 0;
  E.ply = 0;
  const int n = ++E.gameMoveNumber;
  MakeMove(E.gameFrom[n], E.gameTo[n]);
  if (E.gamePromotion[n] > 0) E.board[E.gameTo[n]] = E.gamePromotion[n];
  E.mateThreshold += 1;
  PositionReset();
  return 1;
}

int StepBackToStart() {
  if (E.gameMoveNumber == 0) return 0;
  while (StepBackGameMove()) {
  }
  E.mateThreshold = kMateBound;
  return 1;
}

int StepForwardToEnd() {
  if (E.gameFrom[E.gameMoveNumber + 1] == -1) return 0;
  const int threshold = E.mateThreshold;
  while (StepForwardGameMove()) {
  }
  E.mateThreshold = threshold;
  return 1;
}

int SideToMoveHasMove() {
  E.ply = 1;
  E.moveCount = 0;
  int from[256], to[256];
  return ListLegalMoves(from, to) > 0;
}
