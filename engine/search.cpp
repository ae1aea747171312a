#include "search.h"

#include "engine_state.h"
#include "evaluate.h"
#include "moves.h"
#include "ordering.h"
#include "position.h"
#include "system.h"
#include "ttable.h"

void (*searchPollHook)() = nullptr;

namespace {

// The move at the frontier: futility tests first, then the full static
// score handed to the quiescence search as its stand-pat value.
int SearchFrontierMove(int alpha, int beta, int nullBound) {
  if (E.incrementalScore + 100 <= alpha) return alpha;
  const int w = Evaluate();
  if (E.incrementalScore + w <= alpha) return alpha;
  E.pvLength[E.ply] = E.ply - 1;
  E.incrementalScore = -E.incrementalScore - w;
  int score = -Quiesce(-nullBound, -alpha);
  if (alpha < score && score < beta && nullBound != beta) {
    E.moveCount = E.moveListEnd[E.ply - 1];
    score = -Quiesce(-beta, -alpha);
  }
  E.incrementalScore = -E.incrementalScore - w;
  return score;
}

// The move below the frontier: a search with the null window once alpha has
// been raised, again with the full window when it lands inside.
int SearchInnerMove(int alpha, int beta, int nullBound, int depth) {
  E.incrementalScore = -E.incrementalScore;
  int score = -Search(-nullBound, -alpha, depth - 1);
  if (alpha < score && score < beta && nullBound != beta) {
    E.moveCount = E.moveListEnd[E.ply - 1];
    score = -Search(-beta, -alpha, depth - 1);
  }
  E.incrementalScore = -E.incrementalScore;
  return score;
}

// How many sorted moves ahead the table entries are asked for. Four pays
// (8 % more nodes a second in bench); longer leads gained nothing more.
constexpr int kPrefetchLead = 4;

void PrefetchSlot(int slot) { TtPrefetchMove(E.moveFrom[slot], E.moveTo[slot]); }

// Starts loading the table entries of the moves to come: the next one while
// they are picked one at a time, and once they are sorted, the next
// kPrefetchLead of them, so that a short subtree (a frontier move) does not
// leave the load unfinished. `left` counts the moves after `next`.
void PrefetchAhead(int next, int taken, int left) {
  if (taken <= kSinglePicks) {
    PrefetchSlot(next);
  } else if (taken == kSinglePicks + 1) {  // just sorted
    for (int k = 0; k < kPrefetchLead && k <= left; k++) PrefetchSlot(UpcomingMove(taken, k));
  } else if (kPrefetchLead - 1 <= left) {
    PrefetchSlot(UpcomingMove(taken, kPrefetchLead - 1));
  }
}

}  // namespace

// Moves that leave the mover's king capturable are refuted one ply later,
// when the reply's generation finds the king capture (kInfinity - ply). Scores
// found after time ran out never change best, alpha, the line or the tables.
int Search(int alpha, int beta, int depth) {
  E.nodes++;
  if (searchPollHook) searchPollHook();
  E.pvLength[E.ply] = E.ply - 1;
  if (ElapsedMs(E.searchStart) > static_cast<uint32_t>(E.timeLimit)) {
    E.timeUp = 1;
    return -kInfinity;
  }
  // The per-ply tables and the move stack have room past anything a real
  // line reaches; a line that would run off them is stopped here and scored
  // by its material.
  if (E.ply >= kSearchPlyLimit || E.moveCount > kMoveStackGuard) return E.incrementalScore;

  E.kingCaptured = 0;
  GenerateMoves();
  if (E.kingCaptured) return kInfinity - E.ply;
  const int ply = E.ply;
  E.moveListEnd[ply] = E.moveCount;
  if (E.followPv) MarkPvMove();

  int nullBound = beta;
  int best = -kInfinity;
  // The moves are taken in an order fixed when they were scored, so the next
  // one is chosen a move ahead (and, once sorted, several) and their table
  // entries start loading while the current move is searched.
  int taken = 0;
  int next = NextMove(taken);
  if (next != 0 && E.useHashTable) PrefetchSlot(next);
  for (int n = E.moveListEnd[ply] - E.moveListEnd[ply - 1]; n > 0; n--) {
    const int i = next;
    next = n > 1 ? NextMove(taken) : 0;
    if (next != 0 && E.useHashTable) PrefetchAhead(next, taken, n - 2);
    const int from = E.moveFrom[i], to = E.moveTo[i];
    MakeMove(from, to);
    int score;
    if (RepetitionCount(E.gameMoveNumber + E.ply - 1) > 1 && E.gameEndMove == 0) {
      score = 0;  // a third occurrence is a draw: no extension, table or bonus
    } else {
      bool extended = false;
      if (E.extensionCount <= 0) {
        const int p = E.ply;
        if (depth <= 1 && InCheck(E.sideToMove)) {
          extended = true;  // the move gives check at the frontier
        } else if (E.capturedPiece[p - 1] != kEmpty && E.capturedPiece[p - 2] != kEmpty &&
                   E.plyTo[p - 1] == E.plyTo[p - 2]) {
          extended = true;  // a recapture on the previous capture's square
        }
        if (extended) {
          depth++;
          E.extensionCount++;
        }
      }
      const int bonus = E.ply == 2 && i <= 100 ? E.rootBonus[i] : 0;
      E.incrementalScore += bonus;
      if (!(E.useHashTable && TtProbe(alpha, beta, depth, score))) {
        if (depth > 1)
          score = SearchInnerMove(alpha, beta, nullBound, depth);
        else
          score = SearchFrontierMove(alpha, beta, nullBound);
        if (score == kNoReplyScore - E.ply && !InCheck(E.sideToMove)) score = 0;  // stalemate
        if (E.useHashTable) TtStore(alpha, beta, depth, score);
      }
      E.incrementalScore -= bonus;
      if (extended) {
        depth--;
        E.extensionCount--;
      }
    }
    UnmakeMove(from, to);

    if (E.timeUp) continue;
    if (score > best) {
      best = score;
      if (ply == 2) {  // the best reply found to the root move
        E.counterFrom[E.plyFrom[1]][E.plyTo[1]] = from;
        E.counterTo[E.plyFrom[1]][E.plyTo[1]] = to;
      }
    }
    if (score > alpha) {
      if (score >= beta) {
        E.killer2From[ply] = E.killer1From[ply];
        E.killer2To[ply] = E.killer1To[ply];
        E.killer1From[ply] = from;
        E.killer1To[ply] = to;
        return best;
      }
      alpha = score;
      nullBound = alpha + 1;
      UpdatePv(from, to);
      if (ply <= 4) E.history[from][to]++;
    }
  }
  return best;
}
