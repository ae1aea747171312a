#include "think.h"

#include "book.h"
#include "engine_state.h"
#include "game.h"
#include "moves.h"
#include "position.h"
#include "search.h"
#include "system.h"
#include "ttable.h"

void (*refreshBoardHook)(int, int, int) = nullptr;
void (*showResultHook)(int) = nullptr;
void (*movePlayedHook)() = nullptr;
void (*iterationHook)(int, int) = nullptr;

namespace {

// The score of the last iteration that finished a root move; it carries over
// to the next turn, where it serves only if the first iteration finishes none.
int previousScore = 0;

void ShowResult(int kind) {
  if (showResultHook) showResultHook(kind);
}

// Checkmate when the side to move is in check, else stalemate.
void ShowNoMoveResult() {
  ShowResult(InCheck(E.sideToMove) ? kResultCheckmate : kResultStalemate);
}

// The opponent has no legal move after a quiet-looking move: a depth-1
// search without the table tells mate and stalemate.
bool VerifyOpponentHasMoves() {
  E.ply = 1;
  E.timeUp = 0;
  E.incrementalScore = PositionReset();
  E.searchStart = ClockMs();
  E.moveCount = 0;
  E.useHashTable = 0;
  const int r = Search(-kInfinity, kInfinity, 1);
  E.useHashTable = 1;
  return r != kNoMoveScore;
}

}  // namespace

void SetLevelLimits(int level) {
  static const int kTimeLimit[5] = {0, 999999999, 100, 1000, 10000};
  static const int kMaxDepth[5] = {0, 1, 99, 99, 99};
  if (level < 1 || level > 4) level = 1;
  E.timeLimit = kTimeLimit[level];
  E.maxDepth = kMaxDepth[level];
}

void PrepareSearch() {
  E.ply = 1;
  E.timeUp = 0;
  E.followPv = 0;
  E.incrementalScore = PositionReset();
  E.rootSide = E.sideToMove;
  for (int i = 1; i <= 100; i++) {
    E.rootBonus[i] = RandomInt(0, 10);
    E.pvFrom[1][i] = 0;
    E.killer1From[i] = 0;
    E.killer2From[i] = 0;
  }
  for (int from = 22; from <= 99; from++) {
    for (int to = 22; to <= 99; to++) {
      E.counterFrom[from][to] = 0;
      E.history[from][to] = 0;
    }
  }
  TtClear();
  E.plyTo[0] = 0;  // no recapture extension or counter-move for root moves
  E.nodes = E.qnodes = 0;
}

int DeepenSearch() {
  int score = previousScore;
  for (int depth = 1;; depth++) {
    E.moveCount = 0;
    score = Search(-kInfinity, kInfinity, depth);
    if (score == -kInfinity)
      score = previousScore;  // no root move finished: keep the last result
    else
      previousScore = score;
    E.followPv = 1;
    VerifyPosition("after a search");
    if (iterationHook) iterationHook(depth, score);
    const int magnitude = score < 0 ? -score : score;
    if (E.timeUp || depth >= E.maxDepth || magnitude > E.mateThreshold) break;
  }
  // When time ran out before the first iteration finished any root move there
  // is no move yet; a one-ply search without the clock always finds one.
  if (E.pvFrom[1][1] == 0 && E.timeUp) {
    E.timeUp = 0;
    E.timeLimit = 999999999;
    E.followPv = 0;
    E.moveCount = 0;
    score = Search(-kInfinity, kInfinity, 1);
    if (score != -kInfinity) previousScore = score;
  }
  return score;
}

void ThinkAndMove(int level) {
  // A full record has no room for another half-move: the computer waits.
  if (E.gameMoveNumber >= kMaxGameMoves) return;
  SetLevelLimits(level);
  WaitForTableWarmUp();  // a start-up warm-up still running is not the turn's time
  E.searchStart = ClockMs();
  PrepareSearch();

  int score = 0;
  if (!(E.gameMoveNumber < 40 && ProbeBook())) {
    score = DeepenSearch();
    const int magnitude = score < 0 ? -score : score;
    if (magnitude > kMateBound) E.mateThreshold = magnitude;
    // Every move loses the king, or there is no move at all.
    if (score == kNoMoveScore || E.pvFrom[1][1] == 0) {
      ShowNoMoveResult();
      return;
    }
  }

  const int from = E.pvFrom[1][1], to = E.pvTo[1][1];
  PlayGameMove(from, to);
  if (refreshBoardHook) refreshBoardHook(from, to, 0);
  if (movePlayedHook) movePlayedHook();

  if (score == kMateAtOnceScore) {
    ShowResult(kResultCheckmate);
    return;
  }
  if ((score == 0 || E.maxDepth == 1) && !VerifyOpponentHasMoves()) {
    ShowNoMoveResult();
    return;
  }
  CheckDrawAnnouncements();
}

void StopThinking() {
  E.timeLimit = 0;
  E.searchStart = static_cast<int>(static_cast<uint32_t>(ClockMs()) - 1u);
}

// The repetition is tested before PositionReset refreshes the material.
int DrawByRule() {
  const int repeated = RepetitionCount(E.gameMoveNumber) > 1;
  PositionReset();
  const int bare = E.blackMaterial <= 325 && E.whiteMaterial <= 325 && E.blackPawnCount == 0 &&
                   E.whitePawnCount == 0;
  return repeated || bare;
}

void CheckDrawAnnouncements() {
  const int drawn = DrawByRule();
  if (drawn && E.gameEndMove == 0) {
    E.gameEndMove = E.gameMoveNumber;
    ShowResult(kResultDraw);
  }
}
