#include "engine_state.h"
#include "moves.h"

// The reduced make of the quiescence search: moves the piece, keeps the lists
// and pieceIndex right and hands incrementalScore over to the new side to
// move. Keys, castling, en passant, promotion, material counters and king
// squares are left alone; they are exact again once the capture is undone.
void MakeCapture(int from, int to) {
  const int ply = E.ply;
  E.incrementalScore = -(E.incrementalScore + pieceValue[E.board[to]]);
  if (E.sideToMove == 1) {
    E.blackPieces[E.pieceIndex[from]] = to;
    E.whitePieces[E.pieceIndex[to]] = 0;
  } else {
    E.whitePieces[E.pieceIndex[from]] = to;
    E.blackPieces[E.pieceIndex[to]] = 0;
  }
  E.capturedIndex[ply] = E.pieceIndex[to];
  E.pieceIndex[to] = E.pieceIndex[from];
  E.capturedPiece[ply] = E.board[to];
  E.board[to] = E.board[from];
  E.board[from] = kEmpty;
  E.plyTo[ply] = to;
  E.ply = ply + 1;
  E.sideToMove = 1 - E.sideToMove;
}

void UnmakeCapture(int from, int to) {
  const int ply = --E.ply;
  E.sideToMove = 1 - E.sideToMove;
  E.board[from] = E.board[to];
  E.board[to] = E.capturedPiece[ply];
  E.moveCount = E.moveListEnd[ply];
  E.pieceIndex[from] = E.pieceIndex[to];
  E.pieceIndex[to] = E.capturedIndex[ply];
  if (E.sideToMove == 1) {
    E.blackPieces[E.pieceIndex[from]] = from;
    E.whitePieces[E.pieceIndex[to]] = to;
  } else {
    E.whitePieces[E.pieceIndex[from]] = from;
    E.blackPieces[E.pieceIndex[to]] = to;
  }
  E.incrementalScore = -E.incrementalScore - pieceValue[E.board[to]];
}
