#include <iostream>

#include "cli_common.h"
#include "commands.h"
#include "engine_state.h"
#include "notation.h"
#include "search_output.h"
#include "system.h"
#include "think.h"
#include "ttable.h"

int RunSearch(int maxDepth, int timeLimit, bool zeroBonus, bool printLines) {
  E.maxDepth = maxDepth;
  E.timeLimit = timeLimit;
  E.mateThreshold = kMateBound;
  E.searchStart = ClockMs();
  PrepareSearch();
  if (zeroBonus)
    for (int i = 1; i <= 100; i++) E.rootBonus[i] = 0;
  iterationHook = printLines ? PrintIterationLine : nullptr;
  const int score = DeepenSearch();
  iterationHook = nullptr;
  return score;
}

// korvin-cli search --depth N [--bonus zero|random] [--movetime MS]
int CommandSearch(int argc, char** argv) {
  CliArgs args;
  std::string error;
  std::vector<std::string> valued = kPositionOptions;
  valued.insert(valued.end(), {"depth", "bonus", "movetime"});
  if (!ParseArgs(argc, argv, 2, valued, {}, args, error)) return Fail(error);
  if (!args.positional.empty()) return Fail("unexpected argument '" + args.positional[0] + "'");
  long long depth = 0, movetime = 0;
  if (!IntOption(args, "depth", 99, 1, 99, depth, error) ||
      !IntOption(args, "movetime", 999999999, 1, 999999999, movetime, error))
    return Fail(error);
  const std::string bonus = args.options.count("bonus") ? args.options.at("bonus") : "random";
  if (bonus != "zero" && bonus != "random") return Fail("--bonus must be 'zero' or 'random'");
  if (!args.options.count("depth") && !args.options.count("movetime"))
    return Fail("search needs --depth N or --movetime MS");
  // The keys, and with them the table's collisions, come from the seed: a
  // fixed default makes every run of the same search print the same lines.
  args.options.emplace("seed", "1");
  if (!InitEngineForCli(args, error) || !SetupPositionFromArgs(args, error)) return Fail(error);
  WarmUpTable();  // so that the first search keeps its time limit

  const int score =
      RunSearch(static_cast<int>(depth), static_cast<int>(movetime), bonus == "zero", true);
  // Every move of the side to move loses its king: there is no move.
  const bool noMove = score == kNoMoveScore || E.pvFrom[1][1] == 0;
  std::cout << "bestmove " << (noMove ? "0000" : MoveName(E.pvFrom[1][1], E.pvTo[1][1]))
            << std::endl;
  return 0;
}
