#include "engine_state.h"
#include "moves.h"

namespace {

// Everything that differs between the colours in MakeMove and UnmakeMove.
struct SideInfo {
  int pawn, rook, king;
  int pawnStep;                 // +10 for White, -10 for Black
  int shortCorner, shortRookTo;  // rook squares for castling short
  int longCorner, longRookTo;    // rook squares for castling long
  int shortBit, longBit;         // the mover's castling rights
  int enemyShortCorner, enemyShortBit, enemyLongCorner, enemyLongBit;
  int promotionRankTest;        // squares beyond this (White) / below it (Black)
  int queen;
};

constexpr SideInfo kWhite = {kWhitePawn, kWhiteRook, kWhiteKing, 10, 29, 27, 22, 25,
                             kWhiteShort, kWhiteLong, 99, kBlackShort, 92, kBlackLong,
                             91, kWhiteQueen};
constexpr SideInfo kBlack = {kBlackPawn, kBlackRook, kBlackKing, -10, 99, 97, 92, 95,
                             kBlackShort, kBlackLong, 29, kWhiteShort, 22, kWhiteLong,
                             30, kBlackQueen};

// The record fields of the side that moves and of its opponent.
struct Mover {
  int* own;
  int* enemy;
  int& enemyMaterial;
  int& kingSquare;
  int& castled;
};

template <int Side>
inline Mover MoverFields() {
  if constexpr (Side == 0)
    return {E.whitePieces, E.blackPieces, E.blackMaterial, E.whiteKingSquare, E.whiteCastled};
  else
    return {E.blackPieces, E.whitePieces, E.whiteMaterial, E.blackKingSquare, E.blackCastled};
}

template <int Side>
inline void Make(int from, int to) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  auto [own, enemy, enemyMaterial, kingSquare, castled] = MoverFields<Side>();

  const int ply = E.ply;
  const int p = E.board[from];
  const int q = E.board[to];
  int e = 0;  // square of a pawn taken en passant
  int key = E.positionKey;

  E.incrementalScore += pieceValue[q];
  E.savedCastleRights[ply] = E.castleRights;
  E.promotedPiece[ply] = 0;
  E.epSquare[ply] = 0;

  own[E.pieceIndex[from]] = to;
  const bool captures = Side == 0 ? q > kOffBoard : q < kEmpty;
  if (captures) {
    enemy[E.pieceIndex[to]] = 0;
    E.capturedIndex[ply] = E.pieceIndex[to];
    enemyMaterial -= pieceValue[q];
  }
  if (p == S.pawn && q == kEmpty) {
    if (to == from + 2 * S.pawnStep) {
      E.epSquare[ply] = to;  // the double-stepped pawn's own square
    } else if (to == from + S.pawnStep + 1 || to == from + S.pawnStep - 1) {
      E.incrementalScore += 100;
      e = to - S.pawnStep;
      E.board[e] = kEmpty;
      E.capturedIndex[ply] = E.pieceIndex[e];
      enemy[E.pieceIndex[e]] = 0;
    }
  }
  if (p == S.king) {
    kingSquare = to;
    if (to == from + 2 || to == from - 2) {
      const int corner = to == from + 2 ? S.shortCorner : S.longCorner;
      const int rookTo = to == from + 2 ? S.shortRookTo : S.longRookTo;
      E.board[rookTo] = S.rook;
      E.board[corner] = kEmpty;
      E.pieceIndex[rookTo] = E.pieceIndex[corner];
      own[E.pieceIndex[rookTo]] = rookTo;
      castled = 1;
      key ^= E.zobristKeys[corner][S.rook] ^ E.zobristKeys[rookTo][S.rook];
    }
    E.castleRights &= ~(S.shortBit | S.longBit);
  }
  // A rook leaving its corner, or any move landing on an enemy corner.
  if (p == S.rook) {
    if (from == S.shortCorner) E.castleRights &= ~S.shortBit;
    if (from == S.longCorner) E.castleRights &= ~S.longBit;
  }
  if (to == S.enemyShortCorner) E.castleRights &= ~S.enemyShortBit;
  if (to == S.enemyLongCorner) E.castleRights &= ~S.enemyLongBit;

  key ^= E.zobristKeys[from][p] ^ E.zobristKeys[to][p] ^ E.sideKey;
  if (q != kEmpty) key ^= E.zobristKeys[to][q];
  if (e != 0) key ^= E.epCaptureKeys[e];

  E.pieceIndex[to] = E.pieceIndex[from];
  E.capturedPiece[ply] = q;
  E.board[to] = p;
  E.board[from] = kEmpty;
  E.plyFrom[ply] = from;
  E.plyTo[ply] = to;

  const bool promotes = Side == 0 ? to > S.promotionRankTest : to < S.promotionRankTest;
  if (p == S.pawn && promotes) {
    E.board[to] = S.queen;
    E.incrementalScore += 800;
    E.promotedPiece[ply] = S.queen;
    key ^= E.zobristKeys[to][S.pawn] ^ E.zobristKeys[to][S.queen];
  }

  E.positionKey = key;
  E.keyHistory[E.gameMoveNumber + ply] = key;
  E.ply = ply + 1;
  E.sideToMove = 1 - Side;
}

template <int Side>
inline void Unmake(int from, int to) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  auto [own, enemy, enemyMaterial, kingSquare, castled] = MoverFields<Side>();
  const int ply = E.ply;  // already lowered by the caller

  E.board[from] = E.board[to];
  E.board[to] = E.capturedPiece[ply];
  E.moveCount = E.moveListEnd[ply];
  E.pieceIndex[from] = E.pieceIndex[to];
  E.castleRights = E.savedCastleRights[ply];
  E.positionKey = E.keyHistory[E.gameMoveNumber + ply - 1];

  own[E.pieceIndex[from]] = from;
  const int back = E.board[to];
  const bool captured = Side == 0 ? back > kOffBoard : back < kEmpty;
  if (captured) {
    E.pieceIndex[to] = E.capturedIndex[ply];
    enemy[E.pieceIndex[to]] = to;
    enemyMaterial += pieceValue[back];
  }
  if (E.board[from] == S.pawn && back == kEmpty) {
    if (to == from + 2 * S.pawnStep) {
      E.epSquare[ply] = 0;
    } else if (to == from + S.pawnStep + 1 || to == from + S.pawnStep - 1) {
      const int e = to - S.pawnStep;
      E.incrementalScore -= 100;
      E.board[e] = Side == 0 ? kBlackPawn : kWhitePawn;
      E.pieceIndex[e] = E.capturedIndex[ply];
      enemy[E.pieceIndex[e]] = e;
    }
  }
  if (E.board[from] == S.king) {
    kingSquare = from;
    if (to == from + 2 || to == from - 2) {
      const int corner = to == from + 2 ? S.shortCorner : S.longCorner;
      const int rookTo = to == from + 2 ? S.shortRookTo : S.longRookTo;
      E.board[rookTo] = kEmpty;
      E.board[corner] = S.rook;
      E.pieceIndex[corner] = E.pieceIndex[rookTo];
      own[E.pieceIndex[corner]] = corner;
      castled = 0;
    }
  }
  if (E.promotedPiece[ply] != 0) {
    E.board[from] = S.pawn;
    E.incrementalScore -= 800;
    E.promotedPiece[ply] = 0;
  }
  E.incrementalScore -= pieceValue[E.board[to]];
}

}  // namespace

void MakeMove(int from, int to) {
  if (E.sideToMove == 0)
    Make<0>(from, to);
  else
    Make<1>(from, to);
}

void UnmakeMove(int from, int to) {
  E.ply -= 1;
  E.sideToMove = 1 - E.sideToMove;
  if (E.sideToMove == 0)
    Unmake<0>(from, to);
  else
    Unmake<1>(from, to);
}
