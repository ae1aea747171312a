#include <iostream>

#include "cli_common.h"
#include "commands.h"
#include "engine_state.h"
#include "evaluate.h"
#include "position.h"

// korvin-cli eval: the positional score of a position, seen from the side that
// has just moved, as the search would see it at the root with no root move.
int CommandEval(int argc, char** argv) {
  CliArgs args;
  std::string error;
  if (!ParseArgs(argc, argv, 2, kPositionOptions, {}, args, error)) return Fail(error);
  if (!args.positional.empty()) return Fail("usage: korvin-cli eval [--fen FEN] [--moves MOVES]");
  if (!InitEngineForCli(args, error) || !SetupPositionFromArgs(args, error)) return Fail(error);

  E.incrementalScore = PositionReset();
  E.savedCastleRights[1] = E.castleRights;
  E.plyFrom[1] = 0;
  E.rootSide = 1 - E.sideToMove;
  std::cout << "eval " << Evaluate() << "\n";
  return 0;
}
