// The same search through korvin-uci and through korvin-cli: with the same
// seed and no root bonus both must visit exactly the same nodes.
#include <gtest/gtest.h>

#include <map>

#include "uci_test_util.h"

namespace {

const std::string kCliBinary = KORVIN_CLI_BIN;

struct Iteration {
  long long nodes = 0;
  std::string pv;
};

// depth -> iteration, from "info depth d ... nodes n [qnodes q] ... pv ..."
std::map<int, Iteration> ParseInfo(const std::vector<std::string>& lines, bool addQnodes) {
  std::map<int, Iteration> result;
  for (const std::string& l : lines) {
    const std::vector<std::string> w = Words(l);
    if (w.size() < 3 || w[0] != "info" || w[1] != "depth") continue;
    Iteration it;
    for (size_t i = 0; i + 1 < w.size(); i++) {
      if (w[i] == "nodes") it.nodes += std::stoll(w[i + 1]);
      if (w[i] == "qnodes" && addQnodes) it.nodes += std::stoll(w[i + 1]);
      if (w[i] == "pv") {
        for (size_t j = i + 1; j < w.size(); j++) it.pv += (j > i + 1 ? " " : "") + w[j];
        break;
      }
    }
    result[std::stoi(w[2])] = it;
  }
  return result;
}

void Compare(const std::string& fen, const std::string& moves) {
  UciChild cli(kCliBinary, {"search", "--depth", "5", "--bonus", "zero", "--seed", "7",
                            "--fen", fen, "--moves", moves});
  std::vector<std::string> cliLines;
  ASSERT_TRUE(cli.WaitFor("bestmove", cliLines));
  EXPECT_EQ(cli.WaitExit(), 0);

  UciChild engine(kUciBinary);
  StartQuiet(engine);
  engine.Send("setoption name Seed value 7");
  engine.Send("setoption name RootBonus value false");
  engine.Send("position fen " + fen + (moves.empty() ? "" : " moves " + moves));
  engine.Send("go depth 5");
  std::vector<std::string> uciLines;
  ASSERT_TRUE(engine.WaitFor("bestmove", uciLines));
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);

  const auto a = ParseInfo(cliLines, true), b = ParseInfo(uciLines, false);
  ASSERT_EQ(a.size(), 5u);
  ASSERT_EQ(b.size(), 5u);
  for (int d = 1; d <= 5; d++) {
    EXPECT_EQ(a.at(d).nodes, b.at(d).nodes) << fen << " depth " << d;
    EXPECT_EQ(a.at(d).pv.substr(0, 4), b.at(d).pv.substr(0, 4)) << fen << " depth " << d;
  }
  EXPECT_EQ(BestMoveOf(cliLines), BestMoveOf(uciLines)) << fen;
}

}  // namespace

TEST(UciCompare, SameNodesAndMoveAsTheCommandLineSearch) {
  Compare("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e2e4");
  Compare("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4", "");
  Compare("8/2k5/3p4/p2P1p2/P2P1P2/8/8/4K3 w - - 0 1", "e1d2 c7b6");
  // Promotions in the moves, with and without a piece letter.
  Compare("8/P6k/8/8/8/8/6Kp/8 w - - 0 1", "a7a8n h2h1");
}
