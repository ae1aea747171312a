#include <iostream>

#include "cli_common.h"
#include "commands.h"
#include "engine_state.h"
#include "moves.h"
#include "notation.h"
#include "perft.h"
#include "system.h"

// korvin-cli perft N [--divide]: legal move paths of N half-moves.
int CommandPerft(int argc, char** argv) {
  CliArgs args;
  std::string error;
  std::vector<std::string> valued = kPositionOptions;
  if (!ParseArgs(argc, argv, 2, valued, {"divide"}, args, error)) return Fail(error);
  if (args.positional.size() != 1) return Fail("usage: korvin-cli perft N [--divide] [--fen FEN] [--moves MOVES]");
  CliArgs depthArg;
  depthArg.options["depth"] = args.positional[0];
  long long depth = 0;
  if (!IntOption(depthArg, "depth", 1, 1, kMaxPerftDepth, depth, error)) return Fail(error);
  if (!InitEngineForCli(args, error) || !SetupPositionFromArgs(args, error)) return Fail(error);

  const int start = ClockMs();
  int64_t total = 0;
  if (args.options.count("divide")) {
    E.ply = 1;
    E.moveCount = 0;
    E.kingCaptured = 0;
    GenerateMoves();
    E.moveListEnd[1] = E.moveCount;
    for (int i = 1; i <= E.moveListEnd[1]; i++) {
      const int from = E.moveFrom[i], to = E.moveTo[i];
      const std::string name = MoveName(from, to);
      MakeMove(from, to);
      if (InCheck(1 - E.sideToMove) == 0) {
        const int64_t n = depth <= 1 ? 1 : Perft(static_cast<int>(depth) - 1);
        std::cout << name << " " << n << "\n";
        total += n;
      }
      UnmakeMove(from, to);
    }
  } else {
    E.ply = 1;
    E.moveCount = 0;
    total = Perft(static_cast<int>(depth));
  }
  const uint32_t ms = ElapsedMs(start);
  std::cout << "nodes " << total << "\n";
  std::cout << "time_ms " << ms << "\n";
  std::cout << "nps " << (ms ? total * 1000 / ms : total * 1000) << "\n";
  return 0;
}
