#include <iostream>
#include <string>

#include "cli_common.h"
#include "commands.h"
#include "config_file.h"
#include "engine_state.h"
#include "game_file.h"
#include "notation.h"
#include "pgn_file.h"
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
// A game without moves is refused before the file is looked at: saving it
// would remove FILE, whatever it holds.
int SaveGameFile(const CliArgs& args) {
  const std::string& path = args.positional[1];
  if (E.gameFrom[1] == -1)
    return Fail("game save needs --moves with at least one move; " + path + " was not touched");
  settings.humanPlaysBlack = args.options.count("black") ? 1 : 0;
  if (!SaveGame(path.c_str())) return Fail(path + ": " + StorageError());
  std::cout << "saved " << E.gameMoveNumber << " half-moves to " << path << "\n";
  return 0;
}

// korvin-cli game pgn FILE.kga [--out FILE.pgn]: the game as PGN, on the
// standard output or written (atomically) to a file.
int GameAsPgn(const CliArgs& args) {
  const std::string& path = args.positional[1];
  if (!LoadGame(path.c_str())) return Fail(path + ": " + StorageError());
  const auto out = args.options.find("out");
  if (out == args.options.end()) {
    std::string text;
    if (!GameToPgn(text, 0, "")) return Fail(path + ": " + StorageError());
    std::cout << text;
    return 0;
  }
  if (!SavePgn(out->second.c_str(), 0, "")) return Fail(out->second + ": " + StorageError());
  std::cout << "wrote " << E.gameMoveNumber << " half-moves to " << out->second << "\n";
  return 0;
}

// korvin-cli game import FILE.pgn OUT.kga [--game N]: one game of a PGN file
// as a game file.
int ImportPgnGame(const CliArgs& args) {
  const std::string& in = args.positional[1];
  const std::string& out = args.positional[2];
  long long number = 1;
  std::string error;
  if (!IntOption(args, "game", 1, 1, 1000000000, number, error)) return Fail(error);
  int count = 0;
  if (!LoadPgn(in.c_str(), static_cast<int>(number), count)) return Fail(in + ": " + StorageError());
  // Saving a game without moves would remove OUT instead.
  if (E.gameFrom[1] == -1)
    return Fail(in + ": game " + std::to_string(number) + " has no moves; " + out + " was not touched");
  if (!SaveGame(out.c_str())) return Fail(out + ": " + StorageError());
  std::cout << "imported game " << number << " of " << count << " (" << E.gameMoveNumber
            << " half-moves) to " << out << "\n";
  return 0;
}

}  // namespace

int CommandGame(int argc, char** argv) {
  const char* usage =
      "usage: korvin-cli game show FILE | game save FILE --moves \"e2e4 ...\" [--black] |\n"
      "       game pgn FILE.kga [--out FILE.pgn] | game import FILE.pgn OUT.kga [--game N]";
  CliArgs args;
  std::string error;
  if (!ParseArgs(argc, argv, 2, {"moves", "seed", "out", "game"}, {"black"}, args, error))
    return Fail(error);
  if (args.positional.empty()) return Fail(usage);
  const std::string& action = args.positional[0];
  const size_t words = action == "import" ? 3 : 2;
  if (args.positional.size() != words) return Fail(usage);
  if (action != "pgn" && args.options.count("out")) return Fail("only game pgn takes --out");
  if (action != "import" && args.options.count("game")) return Fail("only game import takes --game");
  if (!InitEngineForCli(args, error)) return Fail(error);
  if (action == "show") {
    if (args.options.count("moves") || args.options.count("black"))
      return Fail("game show takes no --moves or --black");
    return ShowGame(args);
  }
  if (action == "pgn" || action == "import") {
    if (args.options.count("moves") || args.options.count("black"))
      return Fail("game " + action + " takes no --moves or --black");
    return action == "pgn" ? GameAsPgn(args) : ImportPgnGame(args);
  }
  if (action == "save") {
    if (!SetupPositionFromArgs(args, error)) return Fail(error);
    return SaveGameFile(args);
  }
  return Fail(usage);
}
