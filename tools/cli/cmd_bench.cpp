#include <iostream>

#include "cli_common.h"
#include "commands.h"
#include "engine_state.h"
#include "notation.h"
#include "search_output.h"
#include "system.h"
#include "ttable.h"


namespace {

// Openings, middlegames with tactics and endgames. The node total over these
// searches is the engine's behavioural signature.
const char* const kBenchPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3",
    "rnbqkb1r/pp2pppp/3p1n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R b KQkq - 2 5",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 9",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "2rq1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1PN1PN2/PB2BPPP/2RQ1RK1 w - - 0 11",
    "r1b2rk1/2q1bppp/p2ppn2/1p6/3NPP2/2N1B3/PPPQ2PP/2KR1B1R w - - 0 12",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/8/4k3/3p4/3P4/4K3/8/8 w - - 0 1",
    "8/5pk1/6p1/7p/1R5P/6P1/r4PK1/8 w - - 0 40",
    "4r1k1/pp3ppp/2p5/8/2PPr3/1P4P1/P4P1P/R2R2K1 b - - 0 22",
    "3r2k1/1p3ppp/2p5/p1P5/P2Rn3/4P3/5PPP/6K1 b - - 0 28",
};

}  // namespace

// korvin-cli bench [--depth N]
int CommandBench(int argc, char** argv) {
  CliArgs args;
  std::string error;
  if (!ParseArgs(argc, argv, 2, {"depth"}, {}, args, error)) return Fail(error);
  long long depth = 0;
  if (!IntOption(args, "depth", 7, 1, 20, depth, error)) return Fail(error);
  const CliArgs seeded{{}, {{"seed", "1"}}};
  if (!InitEngineForCli(seeded, error)) return Fail(error);
  WarmUpTable();  // the table's first-touch page faults are not search time

  int64_t nodes = 0;
  const int start = ClockMs();
  for (const char* fen : kBenchPositions) {
    if (!SetupFen(fen, error)) return Fail(std::string("bench position: ") + error);
    RunSearch(static_cast<int>(depth), 999999999, true, false);
    nodes += E.nodes + E.qnodes;
    std::cerr << "bench: " << MoveName(E.pvFrom[1][1], E.pvTo[1][1]) << " " << E.nodes + E.qnodes
              << " nodes  " << fen << "\n";
  }
  const uint32_t ms = ElapsedMs(start);
  std::cout << "nodes " << nodes << "\n";
  std::cout << "time_ms " << ms << "\n";
  std::cout << "nps " << (ms ? nodes * 1000 / ms : nodes * 1000) << "\n";
  return 0;
}
