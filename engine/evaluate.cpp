#include "evaluate.h"

#include "engine_state.h"
#include "eval_tables.h"

int evalWhiteTotal, evalBlackTotal;

namespace {

constexpr int kLowMaterial = 1500;  // a side below this is in the ending

inline int Abs(int x) { return x < 0 ? -x : x; }
inline int Max(int a, int b) { return a > b ? a : b; }

// Clears a king's proximity map over the board and marks the ring around the
// king: 20 next to it, 10 at distance two. Ring squares beyond the board land
// in the map's margins, which no piece ever reads.
void BuildKingZone(int* zone, int kingSquare) {
  for (int s = 22; s <= 99; s++) zone[s] = 0;
  for (int i = 1; i <= 24; i++) zone[kingSquare + kingZoneOffset[i]] = kingZoneWeight[i];
}

// Middle-game terms of a king: leaving the back rank, castling rights lost on
// the searched line or still unused, and the better of its two pawn shelters.
// `secondRankA` is the a-file square of the side's second rank and `forward`
// the step of its pawns.
int KingMiddleGame(int sq, bool offBackRank, int castled, int shortBit, int longBit,
                   int secondRankA, int forward, int pawn) {
  int score = 0;
  if (offBackRank) score -= 30;
  const int rights = E.castleRights;
  if (castled == 0) {
    const int saved = E.savedCastleRights[1];
    if ((saved & shortBit) && !(rights & shortBit)) score -= 30;
    if ((saved & longBit) && !(rights & longBit)) score -= 30;
    if (rights & (shortBit | longBit)) score -= 10;
  }
  const int kf = squareDigits.file[sq];
  const int* board = E.board;
  int left = 0, right = 0;
  if ((rights & longBit) || kf <= 4) {
    for (int s = secondRankA + 1; s <= secondRankA + 3; s++) {
      if (board[s] == pawn) left += 30;
      else if (board[s + forward] == pawn) left += 20;
    }
  }
  if ((rights & shortBit) || kf >= 7) {
    for (int s = secondRankA + 5; s <= secondRankA + 7; s++) {
      if (board[s] == pawn) right += 30;
      else if (board[s + forward] == pawn) right += 20;
    }
  }
  return score + Max(left, right);
}

// Ending terms of a king on `sq`: centralisation, and nearness to every pawn
// on the board, three times as much for a pawn of a file marked passed for the
// pawn's own colour.
int KingEnding(int sq, const int* blackPawns, int blackCount, const int* whitePawns,
               int whiteCount) {
  const int kf = squareDigits.file[sq], kr = squareDigits.rank[sq];
  int score = 10 - CentreDistance(sq);
  for (int i = 0; i < blackCount; i++) {
    const int p = blackPawns[i], pf = squareDigits.file[p];
    const int w = E.blackPassedOnFile[pf] == 1 ? 3 : 1;
    score += 10 - w * (Abs(kf - pf) + Abs(kr - squareDigits.rank[p]));
  }
  for (int i = 0; i < whiteCount; i++) {
    const int p = whitePawns[i], pf = squareDigits.file[p];
    const int w = E.whitePassedOnFile[pf] == 1 ? 3 : 1;
    score += 10 - w * (Abs(kf - pf) + Abs(kr - squareDigits.rank[p]));
  }
  return score;
}

}  // namespace

// Positional score: two accumulators, W for White and B for Black, each
// summing the terms in that side's favour; the result is seen from the side
// that has just moved.
int Evaluate() {
  const int* board = E.board;
  int W = 0, B = 0;

  // Moving the same piece twice in a row in the opening costs the root side.
  if (E.gameMoveNumber > 2 && E.plyFrom[1] == E.gameTo[E.gameMoveNumber - 1]) {
    if (E.rootSide == 1) B -= 20;
    else W -= 20;
  }

  for (int f = 2; f <= 9; f++) {
    E.whitePawnsOnFile[f] = 0;
    E.blackPawnsOnFile[f] = 0;
    E.whiteFrontPawn[f] = 0;
    E.whiteRearPawn[f] = 99;
    E.blackFrontPawn[f] = 99;
    E.blackRearPawn[f] = 0;
  }

  // The king-zone maps are rebuilt only after their king has moved.
  if (E.blackKingSquare != E.blackKingZoneSquare) {
    BuildKingZone(E.blackKingZone, E.blackKingSquare);
    E.blackKingZoneSquare = E.blackKingSquare;
  }
  if (E.whiteKingSquare != E.whiteKingZoneSquare) {
    BuildKingZone(E.whiteKingZone, E.whiteKingSquare);
    E.whiteKingZoneSquare = E.whiteKingSquare;
  }

  // Pieces near the enemy king, and the pawns of each file. The pawn squares
  // are remembered for the ending king terms, the other pieces' squares (in
  // slot order) for the piece terms further down, where pawns earn nothing.
  int blackPawns[16], whitePawns[16], blackOthers[16], whiteOthers[16];
  int blackPawnTotal = 0, whitePawnTotal = 0, blackOtherTotal = 0, whiteOtherTotal = 0;
  const int blackCount = E.blackPieceCount, whiteCount = E.whitePieceCount;
  for (int i = 1; i <= blackCount; i++) {
    const int sq = E.blackPieces[i];
    if (sq == 0) continue;
    B += E.whiteKingZone[sq];
    if (board[sq] == kBlackPawn) {
      const int f = squareDigits.file[sq];
      E.blackPawnsOnFile[f]++;
      if (sq < E.blackFrontPawn[f]) E.blackFrontPawn[f] = sq;
      if (sq > E.blackRearPawn[f]) E.blackRearPawn[f] = sq;
      blackPawns[blackPawnTotal++] = sq;
    } else {
      blackOthers[blackOtherTotal++] = sq;
    }
  }
  for (int i = 1; i <= whiteCount; i++) {
    const int sq = E.whitePieces[i];
    if (sq == 0) continue;
    W += E.blackKingZone[sq];
    if (board[sq] == kWhitePawn) {
      const int f = squareDigits.file[sq];
      E.whitePawnsOnFile[f]++;
      if (sq > E.whiteFrontPawn[f]) E.whiteFrontPawn[f] = sq;
      if (sq < E.whiteRearPawn[f]) E.whiteRearPawn[f] = sq;
      whitePawns[whitePawnTotal++] = sq;
    } else {
      whiteOthers[whiteOtherTotal++] = sq;
    }
  }

  const bool whiteLow = E.whiteMaterial < kLowMaterial;
  const bool blackLow = E.blackMaterial < kLowMaterial;
  const bool anyLow = whiteLow || blackLow;
  const int* wCount = E.whitePawnsOnFile;
  const int* bCount = E.blackPawnsOnFile;
  const int* wRear = E.whiteRearPawn;
  const int* bRear = E.blackRearPawn;

  // Black's pawn weights, and the mop-up term against a weak White side.
  if (whiteLow) {
    B += 2 * CentreDistance(E.whiteKingSquare) - 20;
    for (int f = 2; f <= 9; f++) E.pawnAdvanceWeight[f] = 4;
  } else {
    for (int f = 2; f <= 9; f++) E.pawnAdvanceWeight[f] = fileWeight[f];
  }

  // Black centre pawns on their starting squares with the way blocked.
  if (board[85] == kBlackPawn && board[75] != kEmpty) B -= 10;
  if (board[86] == kBlackPawn && board[76] != kEmpty) B -= 10;

  // Black pawn structure, file by file.
  for (int f = 2; f <= 9; f++) {
    E.blackPassedOnFile[f] = 0;
    const int n = bCount[f];
    if (n == 0) continue;
    if (bCount[f - 1] == 0 && bCount[f + 1] == 0) B -= 20;  // isolated
    if (n > 1) B -= 10;                                       // doubled
    if (n > 2) B -= 30;                                       // tripled or worse
    if (bCount[f - 1] > 0 && bCount[f + 1] > 0 && bRear[f - 1] < bRear[f] - 11 &&
        bRear[f + 1] < bRear[f] - 9)
      B -= 10;  // backward
    const int sq = E.blackFrontPawn[f];
    const bool stopped = (wCount[f] > 0 && wRear[f] < sq) ||
                         (wCount[f - 1] > 0 && wRear[f - 1] < sq - 1) ||
                         (wCount[f + 1] > 0 && wRear[f + 1] < sq + 1);
    int c = 2;
    if (!stopped) {
      E.blackPassedOnFile[f] = 1;
      const int front = board[sq - 10];
      c = (front >= kWhitePawn && front <= kWhiteKing) ? 4 : 6;
      if (board[sq + 9] == kBlackPawn || board[sq + 11] == kBlackPawn) c += 2;
      if (anyLow) c *= 2;
    }
    B += (8 - squareDigits.rank[sq]) * c * E.pawnAdvanceWeight[f];
  }

  // White's pawn weights, and the mop-up term against a weak Black side.
  if (blackLow) {
    W += 2 * CentreDistance(E.blackKingSquare) - 20;
    for (int f = 2; f <= 9; f++) E.pawnAdvanceWeight[f] = 4;
  } else {
    for (int f = 2; f <= 9; f++) E.pawnAdvanceWeight[f] = fileWeight[f];
  }

  // White centre pawns on their starting squares with the way blocked.
  if (board[35] == kWhitePawn && board[45] != kEmpty) W -= 10;
  if (board[36] == kWhitePawn && board[46] != kEmpty) W -= 10;

  // White pawn structure, file by file.
  for (int f = 2; f <= 9; f++) {
    E.whitePassedOnFile[f] = 0;
    const int n = wCount[f];
    if (n == 0) continue;
    if (wCount[f - 1] == 0 && wCount[f + 1] == 0) W -= 20;
    if (n > 1) W -= 10;
    if (n > 2) W -= 30;
    if (wCount[f - 1] > 0 && wCount[f + 1] > 0 && wRear[f - 1] > wRear[f] + 9 &&
        wRear[f + 1] > wRear[f] + 11)
      W -= 10;
    const int sq = E.whiteFrontPawn[f];
    const bool stopped = (bCount[f] > 0 && bRear[f] > sq) ||
                         (bCount[f - 1] > 0 && bRear[f - 1] > sq - 1) ||
                         (bCount[f + 1] > 0 && bRear[f + 1] > sq + 1);
    int c = 2;
    if (!stopped) {
      E.whitePassedOnFile[f] = 1;
      const int front = board[sq + 10];
      c = (front >= kBlackPawn && front <= kBlackKing) ? 4 : 6;
      if (board[sq - 9] == kWhitePawn || board[sq - 11] == kWhitePawn) c += 2;
      if (anyLow) c *= 2;
    }
    W += (squareDigits.rank[sq] - 3) * c * E.pawnAdvanceWeight[f];
  }

  // Black pieces, in slot order (the rook-pair bonus depends on it).
  int lastRookFile = 0;
  for (int i = 0; i < blackOtherTotal; i++) {
    const int sq = blackOthers[i];
    const int f = squareDigits.file[sq];
    switch (board[sq]) {
      case kBlackKnight:
        if (sq > 91) B -= 10;
        B += centreTable[sq];
        if (f == 2 || f == 9) B -= 10;
        break;
      case kBlackBishop:
        if (sq > 91) B -= 10;
        B += centreTable[sq];
        break;
      case kBlackRook:
      case kBlackQueen:
        if (sq >= 32 && sq <= 39) {
          B += 10;
          if (E.whiteKingSquare < 30) B += 10;
        }
        if (bCount[f] == 0) {
          B += 10;
          if (wCount[f] == 0) B += 10;
        }
        if (board[sq] == kBlackRook) {
          if (f == lastRookFile) B += 10;
          lastRookFile = f;
          if (E.blackPassedOnFile[f] == 1 || E.whitePassedOnFile[f] == 1) B += 10;
        }
        break;
      case kBlackKing:
        if (!whiteLow)
          B += KingMiddleGame(sq, sq < 92, E.blackCastled, kBlackShort, kBlackLong, 82, -10,
                              kBlackPawn);
        else
          B += KingEnding(sq, blackPawns, blackPawnTotal, whitePawns, whitePawnTotal);
        break;
      default:
        break;
    }
  }

  // White pieces, mirrored.
  lastRookFile = 0;
  for (int i = 0; i < whiteOtherTotal; i++) {
    const int sq = whiteOthers[i];
    const int f = squareDigits.file[sq];
    switch (board[sq]) {
      case kWhiteKnight:
        if (sq < 30) W -= 10;
        W += centreTable[sq];
        if (f == 2 || f == 9) W -= 10;
        break;
      case kWhiteBishop:
        if (sq < 30) W -= 10;
        W += centreTable[sq];
        break;
      case kWhiteRook:
      case kWhiteQueen:
        if (sq >= 82 && sq <= 89) {
          W += 10;
          if (E.blackKingSquare > 91) W += 10;
        }
        if (wCount[f] == 0) {
          W += 10;
          if (bCount[f] == 0) W += 10;
        }
        if (board[sq] == kWhiteRook) {
          if (f == lastRookFile) W += 10;
          lastRookFile = f;
          if (E.whitePassedOnFile[f] == 1 || E.blackPassedOnFile[f] == 1) W += 10;
        }
        break;
      case kWhiteKing:
        if (!blackLow)
          W += KingMiddleGame(sq, sq > 29, E.whiteCastled, kWhiteShort, kWhiteLong, 32, 10,
                              kWhitePawn);
        else
          W += KingEnding(sq, blackPawns, blackPawnTotal, whitePawns, whitePawnTotal);
        break;
      default:
        break;
    }
  }

  evalWhiteTotal = W;
  evalBlackTotal = B;
  return E.sideToMove == 1 ? W - B : B - W;
}
