#include "engine_state.h"
#include "moves.h"

namespace {

// Whether a slider of code `a` or `b` stands at the end of the ray from the
// king's board entry `k`. A pointer walks the ray, one load and one compare a
// square.
template <int Step>
inline bool RayHits(const int* k, int a, int b) {
  const int* t = k + Step;
  while (*t == kEmpty) t += Step;
  return *t == a || *t == b;
}

// Pawn, knight and king contacts, then the eight rays, for a king whose board
// entry is `k`, attacked by the colour whose pawn code is `pawn` (1 White, 9
// Black) from the squares `pawnStepA` and `pawnStepB` away.
template <int PawnStepA, int PawnStepB>
inline int Attacked(const int* k, int pawn) {
  if (k[PawnStepA] == pawn || k[PawnStepB] == pawn) return 1;
  const int knight = pawn + 1, bishop = pawn + 2, rook = pawn + 3, queen = pawn + 4,
            king = pawn + 5;
  if (k[8] == knight || k[-8] == knight || k[12] == knight || k[-12] == knight ||
      k[19] == knight || k[-19] == knight || k[21] == knight || k[-21] == knight)
    return 1;
  if (k[1] == king || k[-1] == king || k[9] == king || k[-9] == king || k[10] == king ||
      k[-10] == king || k[11] == king || k[-11] == king)
    return 1;
  if (RayHits<9>(k, bishop, queen) || RayHits<-9>(k, bishop, queen) ||
      RayHits<11>(k, bishop, queen) || RayHits<-11>(k, bishop, queen))
    return 1;
  if (RayHits<1>(k, rook, queen) || RayHits<-1>(k, rook, queen) ||
      RayHits<10>(k, rook, queen) || RayHits<-10>(k, rook, queen))
    return 1;
  return 0;
}

}  // namespace

// Works outwards from the recorded king square: a Black king is attacked by
// White pawns from below (k - 11, k - 9), a White king by Black pawns from
// above (k + 11, k + 9).
int InCheck(int side) {
  if (side == 1) return Attacked<-11, -9>(&E.board[E.blackKingSquare], kWhitePawn);
  return Attacked<11, 9>(&E.board[E.whiteKingSquare], kBlackPawn);
}
