// korvin-cli: a command-line tool over the Korvin 4 engine.
#include <cstring>
#include <iostream>

#include "cli_common.h"
#include "cli_main.h"
#include "commands.h"

namespace {

struct Command {
  const char* name;
  int (*run)(int, char**);
  const char* help;
};

const Command kCommands[] = {
    {"perft", CommandPerft, "perft N [--divide]       count legal move paths of N half-moves"},
    {"eval", CommandEval, "eval                     the static evaluation of the position"},
    {"search", CommandSearch,
     "search --depth N [--movetime MS] [--bonus zero|random]\n"
     "                           iterative deepening; prints each iteration and bestmove"},
    {"play", CommandPlay, "play --level L             one computer move (the book \"korvin.bok\" is used)"},
    {"selfplay", CommandSelfplay,
     "selfplay --level L --games N [--max-plies P]\n"
     "                           whole games of the computer against itself"},
    {"book", CommandBook,
     "book check FILE | book build SOURCE OUT\n"
     "                           check a book file, or build one from its text source"},
    {"game", CommandGame,
     "game show FILE | game save FILE --moves M [--black]\n"
     "                           show a saved game, or write one from moves\n"
     "  game pgn FILE.kga [--out FILE.pgn] | game import FILE.pgn OUT.kga [--game N]\n"
     "                           a saved game as PGN, or one game of a PGN file as a saved game"},
    {"bench", CommandBench, "bench [--depth N]        fixed searches over varied positions; nodes and speed"},
};

void PrintHelp() {
  std::cout << "korvin-cli: tools over the Korvin 4 chess engine\n\n"
               "usage: korvin-cli COMMAND [options]\n\ncommands:\n";
  for (const Command& c : kCommands) std::cout << "  " << c.help << "\n";
  std::cout << "\nposition options (every command):\n"
               "  --fen \"FEN\"              start from this position instead of the initial one\n"
               "  --moves \"e2e4 e7e5 ...\"  then play these moves (e7e8n promotes to a knight)\n"
               "  --seed S                 seed the random generator (default: the clock)\n";
}

}  // namespace

int RunCli(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help") ||
      !std::strcmp(argv[1], "-h")) {
    PrintHelp();
    return argc < 2 ? kExitBadInput : 0;
  }
  for (const Command& c : kCommands)
    if (!std::strcmp(argv[1], c.name)) return c.run(argc, argv);
  return Fail(std::string("unknown command '") + argv[1] + "' (try korvin-cli help)");
}
