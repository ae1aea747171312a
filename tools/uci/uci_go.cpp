#include <cstdint>
#include <string>
#include <vector>

#include "book.h"
#include "engine_state.h"
#include "game.h"
#include "moves.h"
#include "notation.h"
#include "search.h"
#include "system.h"
#include "think.h"
#include "uci_commands.h"
#include "uci_output.h"
#include "uci_search_input.h"
#include "uci_state.h"
#include "uci_time.h"

namespace {

int goStartMs = 0;        // clock reading when the go command arrived
unsigned pollCounter = 0;  // calls of the poll hook in this search
int lastPollMs = 0;        // clock reading of the last look at the input

// Installed as the search's poll hook: looks at the input at most every
// couple of milliseconds, never waiting.
void PollDuringSearch() {
  if ((++pollCounter & 255u) != 0) return;
  const int now = ClockMs();
  if (static_cast<uint32_t>(now) - static_cast<uint32_t>(lastPollMs) < 2u) return;
  lastPollMs = now;
  PollSearchInput();
}

// "cp <s>", or "mate <n>" in moves from the side to move. A move that mates
// at once scores kMateAtOnceScore (kNoReplyScore less 2, the ply reached),
// each further pair of plies two less; being mated after our move scores
// -(kNoReplyScore - 3), and so on.
std::string ScoreText(int score) {
  if (score > kMateBound || score < -kMateBound) {
    const int magnitude = score < 0 ? -score : score;
    int moves = (kNoReplyScore - magnitude) / 2;
    if (moves < 1) moves = 1;
    return "mate " + std::to_string(score < 0 ? -moves : moves);
  }
  return "cp " + std::to_string(score);
}

// Installed as the iteration hook: one info line per finished iteration.
void PrintUciIteration(int depth, int score) {
  const uint32_t ms = ElapsedMs(goStartMs);
  const int64_t nodes = E.nodes + E.qnodes;
  const int64_t nps = ms > 0 ? nodes * 1000 / ms : nodes * 1000;
  std::string line = "info depth " + std::to_string(depth) + " score " + ScoreText(score) +
                     " nodes " + std::to_string(nodes) + " nps " + std::to_string(nps) +
                     " time " + std::to_string(ms);
  const std::string pv = PrincipalVariationText();
  if (!pv.empty()) line += " pv " + pv;
  Send(line);
}

// The legal moves of the side to move at the root: how many, and the first.
int CountLegalMoves(int& firstFrom, int& firstTo) {
  E.ply = 1;
  E.moveCount = 0;
  E.kingCaptured = 0;
  GenerateMoves();
  std::vector<int> from(E.moveFrom + 1, E.moveFrom + 1 + E.moveCount);
  std::vector<int> to(E.moveTo + 1, E.moveTo + 1 + E.moveCount);
  int count = 0;
  firstFrom = firstTo = 0;
  for (size_t i = 0; i < from.size(); i++) {
    if (!IsLegalMove(from[i], to[i])) continue;
    if (count++ == 0) {
      firstFrom = from[i];
      firstTo = to[i];
    }
  }
  E.ply = 1;
  E.moveCount = 0;
  return count;
}

}  // namespace

void HandleGo(const std::vector<std::string>& words) {
  goStartMs = ClockMs();
  std::vector<std::string> notes;
  const GoLimits limits = ParseGoWords(words, notes);
  for (const std::string& note : notes) Send("info string " + note);

  if (!U.hasPosition) {
    Send("info string no position to search: " + U.noPositionReason);
    BeginSearchInput();
    if (limits.infinite) WaitForStop();
    Send("bestmove 0000");
    return;
  }

  int firstFrom = 0, firstTo = 0;
  if (CountLegalMoves(firstFrom, firstTo) == 0) {
    Send(std::string("info depth 0 score ") + (InCheck(E.sideToMove) ? "mate 0" : "cp 0"));
    BeginSearchInput();
    if (limits.infinite) WaitForStop();
    Send("bestmove 0000");
    return;
  }

  if (U.level >= 1 && U.level <= 4 && !limits.infinite) {
    // Played as the window program's level: its time and depth, whatever
    // the clock says.
    SetLevelLimits(U.level);
  } else {
    SearchLimits(limits, E.sideToMove, U.moveOverhead, E.timeLimit, E.maxDepth);
  }
  E.mateThreshold = kMateBound;
  E.searchStart = goStartMs;
  PrepareSearch();
  if (!U.rootBonus)
    for (int i = 1; i <= 100; i++) E.rootBonus[i] = 0;

  // The book knows games from the initial position only; analysis skips it.
  const bool bookMove = U.ownBook && U.fromStartpos && !limits.infinite &&
                        E.gameMoveNumber < 40 && ProbeBook();
  if (bookMove) {
    Send("info string book move " + MoveName(E.pvFrom[1][1], E.pvTo[1][1]));
  } else {
    pollCounter = 0;
    lastPollMs = goStartMs;
    U.searching = true;
    BeginSearchInput();
    PollSearchInput();
    searchPollHook = PollDuringSearch;
    iterationHook = PrintUciIteration;
    DeepenSearch();
    searchPollHook = nullptr;
    iterationHook = nullptr;
    U.searching = false;
  }

  int from = E.pvFrom[1][1], to = E.pvTo[1][1];
  // The engine's move is trusted only when it is legal here; otherwise (a
  // search cut before any root move was finished) any legal move is better
  // than none.
  if (!IsPlayingSquare(from) || !IsPlayingSquare(to) || !IsLegalMove(from, to)) {
    from = firstFrom;
    to = firstTo;
  }
  E.ply = 1;
  E.moveCount = 0;
  if (limits.infinite) WaitForStop();  // the book is never used then: a search ran
  Send("bestmove " + MoveName(from, to));
}
