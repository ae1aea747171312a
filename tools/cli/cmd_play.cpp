#include <iostream>

#include "book.h"
#include "book_file.h"
#include "cli_common.h"
#include "commands.h"
#include "engine_state.h"
#include "notation.h"
#include "think.h"
#include "ttable.h"

namespace {

int announced = 0;

void RecordResult(int kind) { announced = kind; }

const char* ResultName(int kind) {
  switch (kind) {
    case kResultCheckmate: return "checkmate";
    case kResultStalemate: return "stalemate";
    case kResultDraw: return "draw";
    default: return "";
  }
}

}  // namespace

// korvin-cli play --level L: one computer move for the side to move.
int CommandPlay(int argc, char** argv) {
  CliArgs args;
  std::string error;
  std::vector<std::string> valued = kPositionOptions;
  valued.push_back("level");
  if (!ParseArgs(argc, argv, 2, valued, {}, args, error)) return Fail(error);
  if (!args.positional.empty()) return Fail("unexpected argument '" + args.positional[0] + "'");
  long long level = 0;
  if (!IntOption(args, "level", 1, 1, 4, level, error)) return Fail(error);
  if (!InitEngineForCli(args, error)) return Fail(error);
  WarmUpTable();  // so that the first search keeps its time limit
  // The program loads "korvin.bok" from its working directory; so does this.
  LoadBook();
  if (!SetupPositionFromArgs(args, error)) return Fail(error);

  showResultHook = RecordResult;
  const int before = E.gameMoveNumber;
  ThinkAndMove(static_cast<int>(level));
  if (E.gameMoveNumber > before)
    std::cout << "bestmove " << SquareName(E.gameFrom[E.gameMoveNumber])
              << SquareName(E.gameTo[E.gameMoveNumber])
              << (E.gamePromotion[E.gameMoveNumber] ? "q" : "") << "\n";
  else
    std::cout << "bestmove 0000\n";
  if (announced) std::cout << "result " << ResultName(announced) << "\n";
  return 0;
}
