#include <iostream>
#include <string>

#include "cli_common.h"
#include "commands.h"
#include "engine_state.h"
#include "game_file.h"
#include "notation.h"
#include "storage_error.h"

namespace {

// The letter of a promotion piece code, '\0' for none.
char PromotionLetter(int code) {
  switch (code > kOffBoard ? code - 8 : code) {
    case kWhiteKnight: return 'n';
    case kWhiteBishop: return 'b';
    case kWhiteRook: return 'r';
    case kWhiteQueen: return 'q';
    default: return '\0';
  }
}

// korvin-cli game show FILE: the replayed game, or why the file is refused.
int ShowGame(const CliArgs& args) {
  const std::string& path = args.positional[1];
  if (!LoadGame(path.c_str())) return Fail(path + ": " + StorageError());
  std::cout << "half_moves " << E.gameMoveNumber << "\nmoves";
  for (int n = 1; n <= E.gameMoveNumber; n++) {
    std::cout << " " << SquareName(E.gameFrom[n]) << SquareName(E.gameTo[n]);
    const char letter = PromotionLetter(E.gamePromotion[n]);
    if (letter != '\0') std::cout << letter;
  }
  std::cout << "\nside_to_move " << (E.sideToMove == 0 ? "white" : "black") << "\n";
  std::cout << "orientation " << settings.humanPlaysBlack << " (human plays "
            << (settings.humanPlaysBlack ? "Black" : "White") << ")\n";
  std::cout << "fen " << CurrentFen() << "\n";
  return 0;
}

// korvin-cli game save FILE --moves "..." [--black]: a game file from moves.
int SaveGameFile(const CliArgs& args) {
  const std::string& path = args.positional[1];
  settings.humanPlaysBlack = args.options.count("black") ? 1 : 0;
  if (!SaveGame(path.c_str())) return Fail(path + ": " + StorageError());
  if (E.gameFrom[1] == -1)
    std::cout << "no moves: " << path << " removed\n";
  else
    std::cout << "saved " << E.gameMoveNumber << " half-moves to " << path << "\n";
  return 0;
}

}  // namespace

int CommandGame(int argc, char** argv) {
  const char* usage =
      "usage: korvin-cli game show FILE | korvin-cli game save FILE --moves \"e2e4 ...\" [--black]";
  CliArgs args;
  std::string error;
  if (!ParseArgs(argc, argv, 2, {"moves", "seed"}, {"black"}, args, error)) return Fail(error);
  if (args.positional.size() != 2) return Fail(usage);
  if (!InitEngineForCli(args, error)) return Fail(error);
  const std::string& action = args.positional[0];
  if (action == "show") {
    if (args.options.count("moves") || args.options.count("black"))
      return Fail("game show takes no --moves or --black");
    return ShowGame(args);
  }
  if (action == "save") {
    if (!SetupPositionFromArgs(args, error)) return Fail(error);
    return SaveGameFile(args);
  }
  return Fail(usage);
}
