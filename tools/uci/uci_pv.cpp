#include "uci_pv.h"

#include "engine_state.h"
#include "moves.h"
#include "notation.h"

namespace {

// 1 when (from, to) is among the moves generated for the side to move; the
// move stack is left as it was.
int IsGeneratedMove(int from, int to) {
  const int base = E.moveCount;
  E.kingCaptured = 0;
  GenerateMoves();
  int found = 0;
  for (int i = base + 1; i <= E.moveCount && !found; i++)
    found = E.moveFrom[i] == from && E.moveTo[i] == to;
  E.moveCount = base;
  return found;
}

}  // namespace

std::string LegalPvText() {
  std::string text;
  const int savedPly = E.ply, savedCount = E.moveCount;
  int played = 0;
  for (int j = 1; j <= E.pvLength[1] && j < kSearchPlyLimit; j++) {
    const int from = E.pvFrom[1][j], to = E.pvTo[1][j];
    if (!IsPlayingSquare(from) || !IsPlayingSquare(to)) break;
    E.ply = savedPly + played;
    if (!IsGeneratedMove(from, to)) break;
    const std::string name = MoveName(from, to);
    MakeMove(from, to);
    if (InCheck(1 - E.sideToMove)) {  // the mover's own king is left attacked
      UnmakeMove(from, to);
      break;
    }
    if (!text.empty()) text += ' ';
    text += name;
    played++;
  }
  for (int j = played; j >= 1; j--) UnmakeMove(E.pvFrom[1][j], E.pvTo[1][j]);
  E.ply = savedPly;
  E.moveCount = savedCount;
  return text;
}
