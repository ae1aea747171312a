#include "engine_state.h"
#include "moves.h"
#include "ordering.h"
#include "search.h"

// incrementalScore holds the frontier's static score, corrected by the
// material won or lost on the capture line; no clock, no table, no
// repetition test here. A line that reaches the last ply of the per-ply
// tables, or a move stack near its end, stands pat there.
int Quiesce(int alpha, int beta) {
  E.qnodes++;
  if (E.timeUp) return 0;
  if (E.ply >= kSearchPlyLimit || E.moveCount > kMoveStackGuard) {
    const int s = E.incrementalScore;
    return s >= beta ? beta : (s > alpha ? s : alpha);
  }
  E.kingCaptured = 0;
  GenerateCaptures();
  if (E.kingCaptured) return kInfinity - E.ply;
  const int ply = E.ply;
  E.moveListEnd[ply] = E.moveCount;

  const int standPat = E.incrementalScore;
  if (standPat > alpha) {
    if (standPat >= beta) return beta;
    alpha = standPat;
  }
  for (int n = E.moveListEnd[ply] - E.moveListEnd[ply - 1]; n > 0; n--) {
    const int i = PickBestMove();
    const int from = E.moveFrom[i], to = E.moveTo[i];
    // Even winning the victim for nothing would not lift the score to alpha.
    if (alpha >= E.incrementalScore + pieceValue[E.board[to]]) continue;
    MakeCapture(from, to);
    const int f = -Quiesce(-beta, -alpha);
    UnmakeCapture(from, to);
    if (f > alpha && E.timeUp == 0) {
      if (f >= beta) return beta;
      alpha = f;
    }
  }
  return alpha;
}
