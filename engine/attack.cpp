#include "engine_state.h"
#include "moves.h"

namespace {

// Whether a slider of code `a` or `b` stands at the end of the ray from k.
inline bool RayHits(int k, int step, int a, int b) {
  int t = k + step;
  while (E.board[t] == kEmpty) t += step;
  return E.board[t] == a || E.board[t] == b;
}

// Pawn, knight and king contacts, then the eight rays, for a king on k
// attacked by the colour whose pawn code is `pawn` (1 White, 9 Black).
inline int Attacked(int k, int pawn, int pawnStepA, int pawnStepB) {
  const int* b = E.board;
  if (b[k + pawnStepA] == pawn || b[k + pawnStepB] == pawn) return 1;
  const int knight = pawn + 1, bishop = pawn + 2, rook = pawn + 3, queen = pawn + 4,
            king = pawn + 5;
  if (b[k + 8] == knight || b[k - 8] == knight || b[k + 12] == knight ||
      b[k - 12] == knight || b[k + 19] == knight || b[k - 19] == knight ||
      b[k + 21] == knight || b[k - 21] == knight)
    return 1;
  if (b[k + 1] == king || b[k - 1] == king || b[k + 9] == king || b[k - 9] == king ||
      b[k + 10] == king || b[k - 10] == king || b[k + 11] == king || b[k - 11] == king)
    return 1;
  if (RayHits(k, 9, bishop, queen) || RayHits(k, -9, bishop, queen) ||
      RayHits(k, 11, bishop, queen) || RayHits(k, -11, bishop, queen))
    return 1;
  if (RayHits(k, 1, rook, queen) || RayHits(k, -1, rook, queen) ||
      RayHits(k, 10, rook, queen) || RayHits(k, -10, rook, queen))
    return 1;
  return 0;
}

}  // namespace

// Works outwards from the recorded king square: a Black king is attacked by
// White pawns from below (k - 11, k - 9), a White king by Black pawns from
// above (k + 11, k + 9).
int InCheck(int side) {
  if (side == 1) return Attacked(E.blackKingSquare, kWhitePawn, -11, -9);
  return Attacked(E.whiteKingSquare, kBlackPawn, 11, 9);
}
