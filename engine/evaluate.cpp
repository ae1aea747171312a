#include "evaluate.h"

#include "engine_state.h"
#include "eval_tables.h"

int evalWhiteTotal, evalBlackTotal;

namespace {

constexpr int kLowMaterial = 1500;  // a side below this is in the ending

// The absolute value, and the larger of two values.
inline int Abs(int x) { return x < 0 ? -x : x; }
inline int Max(int a, int b) { return a > b ? a : b; }

// Everything that differs between the colours in the evaluation.
struct SideInfo {
  int pawn, knight, bishop, rook, queen, king;
  int enemyPawn, enemyKing;   // lowest and highest code of the opponent's pieces
  int forward;                // the step of the side's pawns: +10 White, -10 Black
  int backRankTest;           // squares below this (White) / above it (Black)
  int secondRankA;            // a-file square of the side's second rank
  int seventhRankA;           // a-file square of the side's seventh rank
  int shortBit, longBit;      // the side's castling rights
  int noFrontPawn, noRearPawn;  // front and rear pawn of a file without pawns
};

constexpr SideInfo kWhite = {kWhitePawn, kWhiteKnight, kWhiteBishop, kWhiteRook, kWhiteQueen,
                             kWhiteKing, kBlackPawn, kBlackKing, 10, 30, 32, 82,
                             kWhiteShort, kWhiteLong, 0, 99};
constexpr SideInfo kBlack = {kBlackPawn, kBlackKnight, kBlackBishop, kBlackRook, kBlackQueen,
                             kBlackKing, kWhitePawn, kWhiteKing, -10, 91, 82, 32,
                             kBlackShort, kBlackLong, 99, 0};

// The record fields of one side that the evaluation reads or fills.
struct SideFields {
  const int* pieces;  // slots 1..pieceCount; a captured piece's slot holds 0
  const int& pieceCount;
  const int& kingSquare;
  const int& castled;
  int* pawnsOnFile;
  int* frontPawn;      // the side's most advanced pawn of each file
  int* rearPawn;       // the side's least advanced pawn of each file
  int* passedOnFile;   // 1 on a file whose front pawn is passed
  int* kingZone;       // the map around this side's king
  int& kingZoneSquare;  // the king square the map was built for
};

// The record fields of White (Side 0) or Black (Side 1).
template <int Side>
inline SideFields Fields() {
  if constexpr (Side == 0)
    return {E.whitePieces,      E.whitePieceCount,  E.whiteKingSquare, E.whiteCastled,
            E.whitePawnsOnFile, E.whiteFrontPawn,   E.whiteRearPawn,   E.whitePassedOnFile,
            E.whiteKingZone,    E.whiteKingZoneSquare};
  else
    return {E.blackPieces,      E.blackPieceCount,  E.blackKingSquare, E.blackCastled,
            E.blackPawnsOnFile, E.blackFrontPawn,   E.blackRearPawn,   E.blackPassedOnFile,
            E.blackKingZone,    E.blackKingZoneSquare};
}

// One side's pieces as the evaluation visits them: the pawn squares, and the
// other pieces' squares in slot order (the rook-pair bonus depends on it).
struct Gathered {
  int pawns[16], others[16];
  int pawnTotal, otherTotal;
};

// Whether square a lies ahead of square b for Side: higher for White, lower for Black.
template <int Side>
inline bool Ahead(int a, int b) {
  return Side == 0 ? a > b : a < b;
}

// Whether a square is on the back rank of Side.
template <int Side>
inline bool OnBackRank(int sq) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  return Side == 0 ? sq < S.backRankTest : sq > S.backRankTest;
}

// How many ranks a pawn of Side on `sq` stands ahead of its second rank.
template <int Side>
inline int RanksAdvanced(int sq) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  const int r = squareDigits.rank[sq], second = squareDigits.rank[S.secondRankA];
  return Side == 0 ? r - second : second - r;
}

// Whether the root move moves again the piece that the root side moved last.
inline bool SamePieceMovedTwice() {
  return E.gameMoveNumber > 2 && E.plyFrom[1] == E.gameTo[E.gameMoveNumber - 1];
}

// Empties a side's per-file pawn records before its pawns are counted.
template <int Side>
inline void ClearPawnFiles() {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  const SideFields P = Fields<Side>();
  for (int f = 2; f <= 9; f++) {
    P.pawnsOnFile[f] = 0;
    P.frontPawn[f] = S.noFrontPawn;
    P.rearPawn[f] = S.noRearPawn;
  }
}

// Fills a king's proximity map: 20 next to the king, 10 at distance two, 0 elsewhere.
void BuildKingZone(int* zone, int kingSquare) {
  for (int s = 22; s <= 99; s++) zone[s] = 0;
  // Ring squares beyond the board land in the map's margins, which no piece reads.
  for (int i = 1; i <= 24; i++) zone[kingSquare + kingZoneOffset[i]] = kingZoneWeight[i];
}

// Rebuilds a side's king-zone map only after its king has moved.
template <int Side>
inline void RefreshKingZone() {
  const SideFields P = Fields<Side>();
  if (P.kingSquare != P.kingZoneSquare) {
    BuildKingZone(P.kingZone, P.kingSquare);
    P.kingZoneSquare = P.kingSquare;
  }
}

// Counts a pawn on its file and keeps the file's front and rear pawn.
template <int Side>
inline void AddPawn(int sq) {
  const SideFields P = Fields<Side>();
  const int f = squareDigits.file[sq];
  P.pawnsOnFile[f]++;
  if (Ahead<Side>(sq, P.frontPawn[f])) P.frontPawn[f] = sq;
  if (Ahead<Side>(P.rearPawn[f], sq)) P.rearPawn[f] = sq;
}

// Files a side's pawns and other pieces; returns the bonus of its pieces near the enemy king.
template <int Side>
inline int GatherPieces(Gathered& g) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  const SideFields P = Fields<Side>();
  const int* enemyZone = Fields<1 - Side>().kingZone;
  const int count = P.pieceCount;
  int score = 0, pawns = 0, others = 0;
  for (int i = 1; i <= count; i++) {
    const int sq = P.pieces[i];
    if (sq == 0) continue;
    score += enemyZone[sq];
    if (E.board[sq] == S.pawn) {
      AddPawn<Side>(sq);
      g.pawns[pawns++] = sq;
    } else {
      g.others[others++] = sq;
    }
  }
  g.pawnTotal = pawns;
  g.otherTotal = others;
  return score;
}

// Against a side low on material: 2 for each step its king stands from the centre, less 20.
template <int Side>
inline int MopUp(bool enemyLow) {
  return enemyLow ? 2 * CentreDistance(Fields<1 - Side>().kingSquare) - 20 : 0;
}

// The files' advancement weights: 4 against a side low on material, else centre files most.
inline void SetPawnWeights(bool enemyLow) {
  if (enemyLow)
    for (int f = 2; f <= 9; f++) E.pawnAdvanceWeight[f] = 4;
  else
    for (int f = 2; f <= 9; f++) E.pawnAdvanceWeight[f] = fileWeight[f];
}

// A d- or e-pawn on its starting square with the way blocked costs 10.
template <int Side>
inline int BlockedCentrePawns() {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  int score = 0;
  for (int sq = S.secondRankA + 3; sq <= S.secondRankA + 4; sq++)
    if (E.board[sq] == S.pawn && E.board[sq + S.forward] != kEmpty) score -= 10;
  return score;
}

// The faults of file f's n pawns: isolated, doubled, tripled or worse, backward.
template <int Side>
inline int PawnFileFaults(int f, int n) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  const SideFields P = Fields<Side>();
  const int* count = P.pawnsOnFile;
  const int* rear = P.rearPawn;
  int score = 0;
  if (count[f - 1] == 0 && count[f + 1] == 0) score -= 20;
  if (n > 1) score -= 10;
  if (n > 2) score -= 30;
  // Backward: the rear pawns of both neighbouring files stand more than a rank ahead.
  if (count[f - 1] > 0 && count[f + 1] > 0 && Ahead<Side>(rear[f - 1], rear[f] + S.forward - 1) &&
      Ahead<Side>(rear[f + 1], rear[f] + S.forward + 1))
    score -= 10;
  return score;
}

// Whether an enemy pawn stands ahead of the pawn on sq, on its file f or a neighbouring one.
template <int Side>
inline bool Stopped(int sq, int f) {
  const SideFields enemy = Fields<1 - Side>();
  const int* count = enemy.pawnsOnFile;
  const int* rear = enemy.rearPawn;
  return (count[f] > 0 && Ahead<Side>(rear[f], sq)) ||
         (count[f - 1] > 0 && Ahead<Side>(rear[f - 1], sq - 1)) ||
         (count[f + 1] > 0 && Ahead<Side>(rear[f + 1], sq + 1));
}

// The advancement of file f's front pawn, more for a passed pawn, whose file it marks.
template <int Side>
inline int PawnAdvancement(int f, bool anyLow) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  const SideFields P = Fields<Side>();
  const int sq = P.frontPawn[f];
  int c = 2;
  // Passed: 6, 4 with an enemy piece in front, 2 more when defended by a pawn,
  // all doubled once a side is low on material.
  if (!Stopped<Side>(sq, f)) {
    P.passedOnFile[f] = 1;
    const int front = E.board[sq + S.forward];
    c = (front >= S.enemyPawn && front <= S.enemyKing) ? 4 : 6;
    if (E.board[sq - S.forward - 1] == S.pawn || E.board[sq - S.forward + 1] == S.pawn) c += 2;
    if (anyLow) c *= 2;
  }
  return RanksAdvanced<Side>(sq) * c * E.pawnAdvanceWeight[f];
}

// A side's pawn structure, file by file; marks the files of its passed pawns.
template <int Side>
inline int PawnStructure(bool enemyLow, bool anyLow) {
  const SideFields P = Fields<Side>();
  SetPawnWeights(enemyLow);
  int score = 0;
  for (int f = 2; f <= 9; f++) {
    P.passedOnFile[f] = 0;
    const int n = P.pawnsOnFile[f];
    if (n == 0) continue;
    score += PawnFileFaults<Side>(f, n) + PawnAdvancement<Side>(f, anyLow);
  }
  return score;
}

// A knight or bishop: 10 less on its own back rank, and the centre bonus.
template <int Side>
inline int MinorPieceTerms(int sq) {
  return (OnBackRank<Side>(sq) ? -10 : 0) + centreTable[sq];
}

// A knight also loses 10 on the a- or h-file.
template <int Side>
inline int KnightTerms(int sq) {
  const int f = squareDigits.file[sq];
  return MinorPieceTerms<Side>(sq) - (f == 2 || f == 9 ? 10 : 0);
}

// A rook or queen on the seventh rank (more with the enemy king behind it) or an open file.
template <int Side>
inline int HeavyPieceTerms(int sq) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  const SideFields own = Fields<Side>(), enemy = Fields<1 - Side>();
  const int f = squareDigits.file[sq];
  int score = 0;
  // 10 on the seventh rank, 10 more with the enemy king on its back rank; 10
  // on a file without own pawns, 10 more without any pawn.
  if (sq >= S.seventhRankA && sq <= S.seventhRankA + 7) {
    score += 10;
    if (OnBackRank<1 - Side>(enemy.kingSquare)) score += 10;
  }
  if (own.pawnsOnFile[f] == 0) {
    score += 10;
    if (enemy.pawnsOnFile[f] == 0) score += 10;
  }
  return score;
}

// A rook on the file of the rook visited just before it, or on a file with a passed pawn.
template <int Side>
inline int RookTerms(int sq, int& lastRookFile) {
  const int f = squareDigits.file[sq];
  int score = f == lastRookFile ? 10 : 0;
  lastRookFile = f;
  if (Fields<Side>().passedOnFile[f] == 1 || Fields<1 - Side>().passedOnFile[f] == 1) score += 10;
  return score;
}

// Uncastled on the line: 30 for each castling right given up on it, 10 while one is unused.
template <int Side>
inline int CastlingTerms() {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  if (Fields<Side>().castled != 0) return 0;
  const int rights = E.castleRights, saved = E.savedCastleRights[1];
  int score = 0;
  if ((saved & S.shortBit) && !(rights & S.shortBit)) score -= 30;
  if ((saved & S.longBit) && !(rights & S.longBit)) score -= 30;
  if (rights & (S.shortBit | S.longBit)) score -= 10;
  return score;
}

// Pawns of three files from `first` on the second rank: 30 there, 20 a rank further.
template <int Side>
inline int ShelterPawns(int first) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  int score = 0;
  for (int s = first; s <= first + 2; s++) {
    if (E.board[s] == S.pawn) score += 30;
    else if (E.board[s + S.forward] == S.pawn) score += 20;
  }
  return score;
}

// The better shelter, b..d or f..h, of the wings the king stands on or may castle to.
template <int Side>
inline int PawnShelter(int sq) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  const int kf = squareDigits.file[sq], rights = E.castleRights;
  const int left = (rights & S.longBit) || kf <= 4 ? ShelterPawns<Side>(S.secondRankA + 1) : 0;
  const int right = (rights & S.shortBit) || kf >= 7 ? ShelterPawns<Side>(S.secondRankA + 5) : 0;
  return Max(left, right);
}

// A king in the middle game: 30 less off its back rank, castling and its pawn shelter.
template <int Side>
inline int KingMiddleGame(int sq) {
  return (OnBackRank<Side>(sq) ? 0 : -30) + CastlingTerms<Side>() + PawnShelter<Side>(sq);
}

// A king's nearness to one side's pawns: 10 less each distance, a passed pawn's thrice.
int PawnNearness(int kf, int kr, const Gathered& side, const int* passedOnFile) {
  int score = 0;
  for (int i = 0; i < side.pawnTotal; i++) {
    const int p = side.pawns[i], pf = squareDigits.file[p];
    const int w = passedOnFile[pf] == 1 ? 3 : 1;
    score += 10 - w * (Abs(kf - pf) + Abs(kr - squareDigits.rank[p]));
  }
  return score;
}

// A king in the ending: centralisation, and nearness to every pawn.
int KingEnding(int sq, const Gathered& black, const Gathered& white) {
  const int kf = squareDigits.file[sq], kr = squareDigits.rank[sq];
  return 10 - CentreDistance(sq) + PawnNearness(kf, kr, black, E.blackPassedOnFile) +
         PawnNearness(kf, kr, white, E.whitePassedOnFile);
}

// A side's pieces other than pawns; its king is in the ending once the enemy is low.
template <int Side>
inline int PieceTerms(const Gathered& black, const Gathered& white, bool enemyLow) {
  constexpr const SideInfo& S = Side == 0 ? kWhite : kBlack;
  const Gathered& own = Side == 0 ? white : black;
  int score = 0, lastRookFile = 0;
  for (int i = 0; i < own.otherTotal; i++) {
    const int sq = own.others[i];
    switch (E.board[sq]) {
      case S.knight: score += KnightTerms<Side>(sq); break;
      case S.bishop: score += MinorPieceTerms<Side>(sq); break;
      case S.rook: score += HeavyPieceTerms<Side>(sq) + RookTerms<Side>(sq, lastRookFile); break;
      case S.queen: score += HeavyPieceTerms<Side>(sq); break;
      case S.king:
        score += enemyLow ? KingEnding(sq, black, white) : KingMiddleGame<Side>(sq);
        break;
      default: break;
    }
  }
  return score;
}

}  // namespace

// Sums each side's terms (W White, B Black) and returns them for the side that has moved.
int Evaluate() {
  int W = 0, B = 0;
  if (SamePieceMovedTwice()) (E.rootSide == 1 ? B : W) -= 20;

  ClearPawnFiles<0>();
  ClearPawnFiles<1>();
  RefreshKingZone<1>();
  RefreshKingZone<0>();
  Gathered black, white;
  B += GatherPieces<1>(black);
  W += GatherPieces<0>(white);

  const bool whiteLow = E.whiteMaterial < kLowMaterial;
  const bool blackLow = E.blackMaterial < kLowMaterial;
  const bool anyLow = whiteLow || blackLow;
  // Black's pawns are scored before White's, and all pawns before the
  // pieces, which read the passed-file marks.
  B += MopUp<1>(whiteLow) + BlockedCentrePawns<1>() + PawnStructure<1>(whiteLow, anyLow);
  W += MopUp<0>(blackLow) + BlockedCentrePawns<0>() + PawnStructure<0>(blackLow, anyLow);
  B += PieceTerms<1>(black, white, whiteLow);
  W += PieceTerms<0>(black, white, blackLow);

  evalWhiteTotal = W;
  evalBlackTotal = B;
  return E.sideToMove == 1 ? W - B : B - W;
}
