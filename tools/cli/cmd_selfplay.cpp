#include <iostream>
#include <string>

#include "book.h"
#include "book_file.h"
#include "cli_common.h"
#include "commands.h"
#include "engine_state.h"
#include "game.h"
#include "notation.h"
#include "position.h"
#include "system.h"
#include "think.h"
#include "ttable.h"

namespace {

int announced = 0;

void RecordResult(int kind) {
  if (announced == 0) announced = kind;
}

// The move just played was legal in the position before it.
bool LastMoveWasLegal() {
  const int n = E.gameMoveNumber;
  const int from = E.gameFrom[n], to = E.gameTo[n];
  const int threshold = E.mateThreshold;
  StepBackGameMove();
  const bool legal = IsLegalMove(from, to) != 0;
  StepForwardGameMove();
  E.mateThreshold = threshold;
  return legal;
}

}  // namespace

// korvin-cli selfplay --level L --games N [--max-plies P]: whole games of the
// computer against itself through the same turn the program plays.
int CommandSelfplay(int argc, char** argv) {
  CliArgs args;
  std::string error;
  std::vector<std::string> valued = {"level", "games", "seed", "max-plies"};
  if (!ParseArgs(argc, argv, 2, valued, {}, args, error)) return Fail(error);
  long long level = 0, games = 0, maxPlies = 0;
  if (!IntOption(args, "level", 1, 1, 4, level, error) ||
      !IntOption(args, "games", 1, 1, 100000, games, error) ||
      !IntOption(args, "max-plies", 300, 1, kMaxGameMoves, maxPlies, error))
    return Fail(error);
  if (!InitEngineForCli(args, error)) return Fail(error);
  WarmUpTable();  // so that the first search keeps its time limit
  LoadBook();
  showResultHook = RecordResult;

  int worstOvershoot = 0;
  SetLevelLimits(static_cast<int>(level));
  const int budget = E.timeLimit;  // the level's time for one move
  for (long long g = 1; g <= games; g++) {
    NewGame();
    announced = 0;
    std::string moves, ending = "unfinished at the ply cap";
    while (E.gameMoveNumber < maxPlies) {
      const int before = E.gameMoveNumber;
      const int start = ClockMs();
      ThinkAndMove(static_cast<int>(level));
      const int took = static_cast<int>(ElapsedMs(start));
      if (level > 1 && took - budget > worstOvershoot) worstOvershoot = took - budget;
      if (E.gameMoveNumber > before) {
        if (!LastMoveWasLegal()) {
          std::cout << "game " << g << ": illegal move "
                    << SquareName(E.gameFrom[E.gameMoveNumber])
                    << SquareName(E.gameTo[E.gameMoveNumber]) << " after" << moves << "\n";
          return 1;
        }
        moves += ' ';
        moves += SquareName(E.gameFrom[E.gameMoveNumber]);
        moves += SquareName(E.gameTo[E.gameMoveNumber]);
      }
      if (announced == kResultCheckmate) ending = "checkmate";
      if (announced == kResultStalemate) ending = "stalemate";
      if (announced == kResultDraw)
        ending = RepetitionCount(E.gameMoveNumber) > 1 ? "draw by repetition" : "draw by material";
      if (announced || E.gameMoveNumber == before) break;
    }
    std::cout << "game " << g << ":" << moves << " : " << ending << "\n";
    std::cerr << "selfplay: game " << g << " of " << games << " done (" << E.gameMoveNumber
              << " half-moves, " << ending << ")\n";
  }
  if (level > 1) std::cerr << "selfplay: worst time overshoot " << worstOvershoot << " ms\n";
  return 0;
}
