#include <initializer_list>

#include "engine_state.h"
#include "moves.h"

namespace {

template <int Side>
inline bool IsEnemy(int c) {
  return Side == 0 ? c > kOffBoard : (c >= kWhitePawn && c < kEmpty);
}

// What the adders compare every move of a node with, read once for the
// whole generation: this ply's killers, the counter-move to the previous
// move, and that move's destination (recaptures).
struct NodeOrdering {
  int killer1From, killer1To, killer2From, killer2To;
  int counterFrom, counterTo;
  int lastTo;
};

inline NodeOrdering ReadNodeOrdering() {
  const int p = E.ply;
  const int pf = E.plyFrom[p - 1], pt = E.plyTo[p - 1];
  return {E.killer1From[p], E.killer1To[p], E.killer2From[p], E.killer2To[p],
          E.counterFrom[pf][pt], E.counterTo[pf][pt], pt};
}

// The killer and counter-move terms shared by both full-width adders.
inline int KillerOrCounter(const NodeOrdering& o, int from, int to, int score, bool killers) {
  if (killers && ((from == o.killer1From && to == o.killer1To) ||
                  (from == o.killer2From && to == o.killer2To)))
    score = 10000;
  if (from == o.counterFrom && to == o.counterTo) score = 50000;
  return score;
}

inline void Push(int from, int to, int score) {
  const int n = ++E.moveCount;
  E.moveFrom[n] = from;
  E.moveTo[n] = to;
  E.moveScore[n] = score;
}

template <int Side>
inline void NoteKingCapture(int to) {
  if (E.board[to] == (Side == 0 ? kBlackKing : kWhiteKing)) {
    E.kingCaptured = 1;
    E.pieceCursor = 99;  // the piece loop ends after the current piece
  }
}

// A quiet move is ordered by its history count, raised to 10000 for a killer
// of this ply and to 50000 for the counter-move to the previous move, and
// lowered by the mover's value when an enemy pawn attacks the destination.
template <int Side>
[[gnu::always_inline]] inline void QuietMove(const NodeOrdering& o, int from, int to) {
  int score = KillerOrCounter(o, from, to, E.history[from][to], true);
  const int* b = E.board;
  const bool pawnAttacked = Side == 0
                                ? (b[to + 9] == kBlackPawn || b[to + 11] == kBlackPawn)
                                : (b[to - 9] == kWhitePawn || b[to - 11] == kWhitePawn);
  if (pawnAttacked) score -= pieceValue[b[from]];
  Push(from, to, score);
}

// A capture is ordered by its victim; a recapture on the previous move's
// destination ranks above killers, a capture by the king 1000 lower.
// Castling comes through here with the king already on its destination.
template <int Side>
inline void CaptureMove(const NodeOrdering& o, int from, int to) {
  NoteKingCapture<Side>(to);
  const int victim = pieceValue[E.board[to]];
  const bool recapture = to == o.lastTo;
  int score = KillerOrCounter(o, from, to, recapture ? victim + 20000 : victim + 1000, !recapture);
  if (pieceValue[E.board[from]] == 10000) score -= 1000;
  Push(from, to, score);
}

// Quiescence captures: victim first, recaptures on the previous destination
// first of all, and a bonus when the victim is worth more than the attacker.
template <int Side>
inline void QuiescenceCapture(const NodeOrdering& o, int from, int to) {
  NoteKingCapture<Side>(to);
  const int victim = pieceValue[E.board[to]];
  int score = to == o.lastTo ? victim + 20000 : victim + 1000;
  if (victim - pieceValue[E.board[from]] > 0) score += victim;
  Push(from, to, score);
}

template <int Side, bool CapturesOnly>
inline void AddCapture(const NodeOrdering& o, int from, int to) {
  if (CapturesOnly)
    QuiescenceCapture<Side>(o, from, to);
  else
    CaptureMove<Side>(o, from, to);
}

// The board index of a pointer into the board.
inline int SquareOf(const int* square) { return static_cast<int>(square - E.board); }

// One step target: a quiet move when empty, a capture when it holds an enemy.
// The target is read at its fixed distance from the piece's board entry.
template <int Side, bool CapturesOnly, int Step>
inline void StepTo(const NodeOrdering& o, int s) {
  constexpr int step = Side == 0 ? Step : -Step;
  const int c = (&E.board[s])[step];
  if (c == kEmpty) {
    if (!CapturesOnly) QuietMove<Side>(o, s, s + step);
  } else if (IsEnemy<Side>(c)) {
    AddCapture<Side, CapturesOnly>(o, s, s + step);
  }
}

// One ray: every empty square a quiet move, then the first occupied square a
// capture when it holds an enemy. A pointer walks the board, so that each
// square of the ray costs one load and one compare.
template <int Side, bool CapturesOnly, int Ray>
inline void RayFrom(const NodeOrdering& o, int s) {
  constexpr int d = Side == 0 ? Ray : -Ray;
  const int* square = &E.board[s] + d;
  while (*square == kEmpty) {
    if (!CapturesOnly) QuietMove<Side>(o, s, SquareOf(square));
    square += d;
  }
  if (IsEnemy<Side>(*square)) AddCapture<Side, CapturesOnly>(o, s, SquareOf(square));
}

// The steps or rays of a piece in the order given; the offsets are White's,
// and Black uses each one negated, in the same order.
template <int Side, bool CapturesOnly, int... Offsets>
inline void Steps(const NodeOrdering& o, int s) {
  (StepTo<Side, CapturesOnly, Offsets>(o, s), ...);
}

template <int Side, bool CapturesOnly, int... Offsets>
inline void Rays(const NodeOrdering& o, int s) {
  (RayFrom<Side, CapturesOnly, Offsets>(o, s), ...);
}

// Captures first on the h-side diagonal, then the a-side; an empty diagonal
// target is an en passant capture when the previous ply double-stepped the
// pawn now beside this one. Then the push, and the double step from the
// starting rank only when the single step is free.
template <int Side, bool CapturesOnly>
inline void PawnMoves(const NodeOrdering& o, int s) {
  constexpr int sign = Side == 0 ? 1 : -1;
  const int ep = E.epSquare[E.ply - 1];
  for (const int d : {11, 9}) {
    const int t = s + sign * d;
    const int c = E.board[t];
    if (IsEnemy<Side>(c))
      AddCapture<Side, CapturesOnly>(o, s, t);
    else if (!CapturesOnly && c == kEmpty && ep == t - sign * 10)
      QuietMove<Side>(o, s, t);
  }
  if (CapturesOnly) return;
  const int t = s + sign * 10;
  if (E.board[t] == kEmpty) {
    QuietMove<Side>(o, s, t);
    const bool onStartRank = Side == 0 ? s < 40 : s > 81;
    if (onStartRank && E.board[t + sign * 10] == kEmpty) QuietMove<Side>(o, s, t + sign * 10);
  }
}

// Moves the king of the side to move from `from` to `to` on the board and in
// the king square, for the castling test.
template <int Side>
inline void PlaceKing(int from, int to) {
  E.board[from] = kEmpty;
  E.board[to] = Side == 0 ? kWhiteKing : kBlackKing;
  (Side == 0 ? E.whiteKingSquare : E.blackKingSquare) = to;
}

// Castling towards `dir` (+1 short, -1 long): the king must not stand in,
// pass through or land on an attacked square. The king is walked over the
// squares on the board and put back exactly where it was.
template <int Side>
inline void TryCastle(const NodeOrdering& o, int k, int dir) {
  if (InCheck(E.sideToMove)) return;
  PlaceKing<Side>(k, k + dir);
  if (!InCheck(E.sideToMove)) {
    PlaceKing<Side>(k + dir, k + 2 * dir);
    if (!InCheck(E.sideToMove)) CaptureMove<Side>(o, k, k + 2 * dir);
    PlaceKing<Side>(k + 2 * dir, k + dir);
  }
  PlaceKing<Side>(k + dir, k);
}

template <int Side>
inline void Castling(const NodeOrdering& o) {
  const int k = Side == 0 ? E.whiteKingSquare : E.blackKingSquare;
  const int shortBit = Side == 0 ? kWhiteShort : kBlackShort;
  const int longBit = Side == 0 ? kWhiteLong : kBlackLong;
  const int* b = E.board;
  if ((E.castleRights & shortBit) && b[k + 1] == kEmpty && b[k + 2] == kEmpty)
    TryCastle<Side>(o, k, 1);
  if ((E.castleRights & longBit) && b[k - 1] == kEmpty && b[k - 2] == kEmpty &&
      b[k - 3] == kEmpty)
    TryCastle<Side>(o, k, -1);
}

// The piece loop: every piece of the side to move in list order, each one
// completely before the next. The switch knows only the mover's own codes, so
// it skips a captured piece's slot, which holds 0 (and board[0] is 0).
template <int Side, bool CapturesOnly>
void GenerateFor() {
  const int* list = Side == 0 ? E.whitePieces : E.blackPieces;
  const int n = Side == 0 ? E.whitePieceCount : E.blackPieceCount;
  const NodeOrdering o = ReadNodeOrdering();
  for (E.pieceCursor = 1; E.pieceCursor <= n; E.pieceCursor++) {
    const int s = list[E.pieceCursor];
    const int c = E.board[s];
    switch (Side == 0 ? c : c - 8) {
      case kWhitePawn: PawnMoves<Side, CapturesOnly>(o, s); break;
      case kWhiteKnight: Steps<Side, CapturesOnly, 19, 21, -19, -21, 8, 12, -8, -12>(o, s); break;
      case kWhiteBishop: Rays<Side, CapturesOnly, 9, 11, -9, -11>(o, s); break;
      case kWhiteRook: Rays<Side, CapturesOnly, 1, 10, -1, -10>(o, s); break;
      case kWhiteQueen: Rays<Side, CapturesOnly, 9, 11, -9, -11, 1, 10, -1, -10>(o, s); break;
      case kWhiteKing:
        Steps<Side, CapturesOnly, 1, 9, -1, -9, 10, 11, -10, -11>(o, s);
        if (!CapturesOnly) Castling<Side>(o);
        break;
      default: break;
    }
  }
}

}  // namespace

void GenerateMoves() {
  if (E.sideToMove == 0)
    GenerateFor<0, false>();
  else
    GenerateFor<1, false>();
}

void GenerateCaptures() {
  if (E.sideToMove == 0)
    GenerateFor<0, true>();
  else
    GenerateFor<1, true>();
}

// The adders for one move, with this node's ordering read afresh.
void AddQuietMove(int from, int to) {
  if (E.sideToMove == 0)
    QuietMove<0>(ReadNodeOrdering(), from, to);
  else
    QuietMove<1>(ReadNodeOrdering(), from, to);
}

void AddCaptureMove(int from, int to) {
  if (E.sideToMove == 0)
    CaptureMove<0>(ReadNodeOrdering(), from, to);
  else
    CaptureMove<1>(ReadNodeOrdering(), from, to);
}

void AddQuiescenceCapture(int from, int to) {
  if (E.sideToMove == 0)
    QuiescenceCapture<0>(ReadNodeOrdering(), from, to);
  else
    QuiescenceCapture<1>(ReadNodeOrdering(), from, to);
}
