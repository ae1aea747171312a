#include "search_output.h"

#include <iostream>

#include "engine_state.h"
#include "moves.h"
#include "notation.h"

std::string PrincipalVariationText() {
  std::string text;
  const int savedPly = E.ply, savedCount = E.moveCount;
  int played = 0;
  for (int j = 1; j <= E.pvLength[1] && j < kSearchPlyLimit; j++) {
    const int from = E.pvFrom[1][j], to = E.pvTo[1][j];
    if (!IsPlayingSquare(from) || !IsPlayingSquare(to)) break;
    const int p = E.board[from];
    const bool ownPiece = E.sideToMove == 0 ? (p >= kWhitePawn && p <= kWhiteKing) : p > kOffBoard;
    if (!ownPiece) break;  // a line copied from a sibling no longer fits
    if (!text.empty()) text += ' ';
    text += MoveName(from, to);
    E.ply = savedPly + played;
    MakeMove(from, to);
    played++;
  }
  for (int j = played; j >= 1; j--) UnmakeMove(E.pvFrom[1][j], E.pvTo[1][j]);
  E.ply = savedPly;
  E.moveCount = savedCount;
  return text;
}

void PrintIterationLine(int depth, int score) {
  std::cout << "info depth " << depth << " score " << score << " nodes " << E.nodes
            << " qnodes " << E.qnodes << " pv " << PrincipalVariationText() << std::endl;
}
