// Whole korvin-uci sessions through pipes: the handshake, searches, stop and
// isready while thinking, quit, bad input, mate scores and the book.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fresh_folder.h"
#include "uci_test_util.h"

namespace {

// More than the longest line korvin-uci reads whole.
constexpr size_t kOverLongBytes = (1u << 20) + 16;

bool HasLine(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& l : lines)
    if (l.rfind(prefix, 0) == 0) return true;
  return false;
}

// The value after `key` in an info line, or "" when absent.
std::string Field(const std::string& line, const std::string& key) {
  const std::vector<std::string> w = Words(line);
  for (size_t i = 0; i + 1 < w.size(); i++)
    if (w[i] == key) return w[i + 1];
  return "";
}

}  // namespace

TEST(UciSession, HandshakeListsIdentityAndOptions) {
  UciChild engine(kUciBinary);
  engine.Send("uci");
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("uciok", lines));
  EXPECT_TRUE(HasLine(lines, "id name Korvin 4.01"));
  EXPECT_TRUE(HasLine(lines, "id author the Korvin 4 developers"));
  EXPECT_TRUE(HasLine(lines, "option name Hash type spin default 80 min 80 max 80"));
  EXPECT_TRUE(HasLine(lines, "option name OwnBook type check default true"));
  EXPECT_TRUE(HasLine(lines, "option name Move Overhead type spin default 30 min 0 max 5000"));
  EXPECT_TRUE(HasLine(lines, "option name RootBonus type check default true"));
  EXPECT_TRUE(HasLine(lines, "option name Level type spin default 0 min 0 max 4"));
  engine.Send("isready");
  EXPECT_TRUE(engine.WaitFor("readyok"));
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciSession, DepthSearchReportsEachIterationAndALegalMove) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  engine.Send("position startpos moves e2e4");
  engine.Send("go depth 4");
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  int depth = 0;
  for (const std::string& l : lines) {
    if (l.rfind("info depth", 0) != 0) continue;
    EXPECT_EQ(std::stoi(Field(l, "depth")), ++depth) << l;
    EXPECT_FALSE(Field(l, "cp").empty()) << l;
    EXPECT_GT(std::stoll(Field(l, "nodes")), 0) << l;
    EXPECT_FALSE(Field(l, "time").empty()) << l;
    // The first move of the line is Black's and legal.
    EXPECT_TRUE(IsLegalIn("startpos moves e2e4", Field(l, "pv"))) << l;
  }
  EXPECT_EQ(depth, 4);
  const std::string best = BestMoveOf(lines);
  EXPECT_TRUE(IsLegalIn("startpos moves e2e4", best)) << best;
  // A second go searches the same position again: the engine did not play.
  engine.Send("go depth 1");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_TRUE(IsLegalIn("startpos moves e2e4", BestMoveOf(lines)));
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciSession, InfiniteSearchAnswersIsreadyAndStopsOnRequest) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  engine.Send("position startpos moves d2d4 g8f6");
  engine.Send("go infinite");
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("info depth 3", lines));
  engine.Send("isready");
  ASSERT_TRUE(engine.WaitFor("readyok", lines));
  EXPECT_FALSE(HasLine(lines, "bestmove")) << "an infinite search must wait for stop";
  // Commands other than stop, isready and quit wait for the search to end.
  engine.Send("position startpos");
  engine.Send("stop");
  engine.Send("go depth 1");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_TRUE(IsLegalIn("startpos moves d2d4 g8f6", BestMoveOf(lines)));
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_TRUE(IsLegalIn("startpos", BestMoveOf(lines)));
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciSession, InfiniteSearchThatFindsMateStillWaitsForStop) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  engine.Send("position fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  engine.Send("go infinite");
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("info depth 1", lines));
  engine.Collect(lines, 300);
  EXPECT_FALSE(HasLine(lines, "bestmove"));
  engine.Send("isready");
  ASSERT_TRUE(engine.WaitFor("readyok", lines));
  engine.Send("stop");
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_EQ(BestMoveOf(lines), "a1a8");
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciSession, QuitDuringSearchGivesTheMoveAndExits) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  engine.Send("go infinite");
  ASSERT_TRUE(engine.WaitFor("info depth 2"));
  engine.Send("quit");
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_TRUE(IsLegalIn("startpos", BestMoveOf(lines)));
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciSession, EndOfInputDuringSearchEndsTheProcess) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  engine.Send("go wtime 100000 btime 100000");
  ASSERT_TRUE(engine.WaitFor("info depth 2"));
  engine.CloseInput();
  EXPECT_TRUE(engine.WaitFor("bestmove"));
  EXPECT_EQ(engine.WaitExit(), 0);
}

// After a refused position the controller and the engine disagree about the
// game: a move from the previous position could be illegal in the one the
// controller meant, so there is no move at all until a valid position.
TEST(UciSession, RefusedPositionLeavesNoPositionUntilAValidOne) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  const std::string good = "startpos moves e2e4 e7e5";
  const std::vector<std::string> bad = {
      "position startpos moves e2e4 e7e5 e1e3",                    // illegal move
      "position startpos moves e2e4 e2e4",                          // the second e2e4 is illegal
      "position startpos moves e2e4 e7e5 g1f3 zz99",                // not a move
      "position startpos moves e2e4 e7e5 e7e8q",                    // promotion suffix on no promotion
      "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w",  // unknown piece
      "position fen 8/8/8/8/8/8/8/8 w - - 0 1",                     // no kings
      "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq -",   // seven ranks
      "position fen",                                               // nothing
      "position",                                                   // nothing at all
      "position somewhere",                                         // neither startpos nor fen
      "position startpos e2e4",                                     // "moves" missing
  };
  for (const std::string& command : bad) {
    engine.Send("position " + good);
    engine.Send(command);
    std::vector<std::string> lines;
    ASSERT_TRUE(engine.WaitFor("info string", lines)) << command;
    // Every go, not only the first, is refused, with the reason.
    for (int k = 0; k < 2; k++) {
      engine.Send("go depth 1");
      lines.clear();
      ASSERT_TRUE(engine.WaitFor("bestmove", lines)) << command;
      EXPECT_EQ(BestMoveOf(lines), "0000") << command;
      EXPECT_TRUE(HasLine(lines, "info string no position to search")) << command;
    }
  }
  // A valid position ends the refusal.
  engine.Send("position " + good);
  engine.Send("go depth 1");
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_TRUE(IsLegalIn(good, BestMoveOf(lines))) << BestMoveOf(lines);
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

// More half-moves than a game record holds are refused the same way.
TEST(UciSession, PositionLongerThanTheRecordIsRefused) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  std::string moves;
  for (int i = 0; i < 250; i++) moves += " g1f3 g8f6 f3g1 f6g8";  // 1000 half-moves
  engine.Send("position startpos moves" + moves);
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("info string", lines));
  engine.Send("go depth 1");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_EQ(BestMoveOf(lines), "0000");
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

// A position command too long to be read whole is refused like any other:
// its start alone would be a position the controller never sent. The same
// holds when it arrives during a search, and a dropped line that begins as
// another command is not carried out either.
TEST(UciSession, OverLongPositionLeavesNoPosition) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  std::string moves;
  while (moves.size() <= (2u << 20)) moves += " b1c3 b8c6 c3b1 c6b8";
  const std::string overLong = "position startpos moves" + moves;
  std::vector<std::string> lines;
  for (const bool duringSearch : {false, true}) {
    engine.Send("position startpos moves e2e4");
    if (duringSearch) {
      engine.Send("go infinite");
      // A dropped stop is not a stop: the search waits for the real one.
      engine.Send("stop" + std::string(kOverLongBytes, ' ') + "now");
      engine.Send("isready");
      lines.clear();
      ASSERT_TRUE(engine.WaitFor("readyok", lines));
      EXPECT_TRUE(BestMoveOf(lines).empty()) << "an over-long stop ended the search";
    }
    engine.Send(overLong);
    if (duringSearch) {
      engine.Send("stop");
      lines.clear();
      ASSERT_TRUE(engine.WaitFor("bestmove", lines));
      EXPECT_TRUE(IsLegalIn("startpos moves e2e4", BestMoveOf(lines)));
    }
    engine.Send("go depth 1");
    lines.clear();
    ASSERT_TRUE(engine.WaitFor("bestmove", lines)) << duringSearch;
    EXPECT_EQ(BestMoveOf(lines), "0000") << duringSearch;
    EXPECT_TRUE(HasLine(lines, "info string no position to search: the position command is "
                               "longer than 1048576 bytes"))
        << duringSearch;
  }
  engine.Send("position startpos moves d2d4");
  engine.Send("go depth 1");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_TRUE(IsLegalIn("startpos moves d2d4", BestMoveOf(lines))) << BestMoveOf(lines);
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciSession, GarbageLongLinesAndBadOptionsAreSurvived) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  engine.Send("");
  engine.Send("   \t ");
  engine.Send("xyzzy plugh");
  engine.SendRaw(std::string("\x01\xff\x7f junk\r\n", 10));
  engine.Send("go depth x");  // no limit left: a bare go, analysis until stop
  engine.Send("stop");
  ASSERT_TRUE(engine.WaitFor("bestmove"));
  engine.Send("setoption name Move Overhead value -5");
  ASSERT_TRUE(engine.WaitFor("info string"));
  engine.Send("setoption name Hash value 4096");
  ASSERT_TRUE(engine.WaitFor("info string"));
  engine.Send("setoption name OwnBook value maybe");
  ASSERT_TRUE(engine.WaitFor("info string"));
  engine.Send("setoption");
  ASSERT_TRUE(engine.WaitFor("info string"));
  engine.Send("position startpos moves " + std::string(3 << 20, 'e'));  // too long: dropped
  ASSERT_TRUE(engine.WaitFor("info string input line too long"));
  engine.Send("position startpos moves e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1");
  engine.Send("go depth 2");
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_TRUE(IsLegalIn("startpos moves e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1",
                        BestMoveOf(lines)));
  engine.SendRaw("isready");  // the last line may lack its newline
  engine.CloseInput();
  EXPECT_TRUE(engine.WaitFor("readyok"));
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciSession, MateScoresCountMovesFromTheSideToMove) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  struct Case {
    const char* fen;
    const char* score;  // on the last info line
    const char* best;   // "" = any legal move
  } cases[] = {
      {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "mate 1", "a1a8"},
      {"7k/8/6KQ/8/8/8/8/8 b - - 0 1", "mate -1", "h8g8"},
      // Mate in two: 1. Qe8+ Rxe8 2. Rxe8#.
      {"3r2k1/5ppp/8/8/8/8/4QPPP/4R1K1 w - - 0 1", "mate 2", "e2e8"},
      // Checkmated and stalemated: no move.
      {"6k1/5ppp/8/8/8/8/5PPP/r5K1 w - - 0 1", "mate 0", "0000"},
      {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "cp 0", "0000"},
  };
  for (const Case& c : cases) {
    engine.Send(std::string("position fen ") + c.fen);
    engine.Send("go depth 5");
    std::vector<std::string> lines;
    ASSERT_TRUE(engine.WaitFor("bestmove", lines)) << c.fen;
    std::string last;
    for (const std::string& l : lines)
      if (l.rfind("info depth", 0) == 0) last = l;
    EXPECT_NE((last + " ").find(std::string("score ") + c.score + " "), std::string::npos)
        << c.fen << ": " << last;
    EXPECT_EQ(BestMoveOf(lines), c.best) << c.fen;
  }
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciSession, ClockSearchAndBookMoves) {
  // A book of one line, 1. e4 e5, in a directory of its own.
  const std::string dir = FreshFolder("korvin-uci-test-").string();
  ASSERT_FALSE(dir.empty());
  const std::string book = dir + "/korvin.bok";
  {
    std::ofstream out(book, std::ios::binary);
    const unsigned char bytes[] = {36, 56, 86, 66, 0};
    out.write(reinterpret_cast<const char*>(bytes), sizeof(bytes));
  }
  UciChild engine(kUciBinary, {}, dir);
  engine.Send("uci");
  ASSERT_TRUE(engine.WaitFor("uciok"));
  std::vector<std::string> lines;
  engine.Send("position startpos");
  engine.Send("go wtime 5000 btime 5000 winc 50 binc 50");
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_TRUE(HasLine(lines, "info string book move e2e4"));
  EXPECT_EQ(BestMoveOf(lines), "e2e4");
  engine.Send("position startpos moves e2e4");
  engine.Send("go movetime 200");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_EQ(BestMoveOf(lines), "e7e5");
  // Out of the book: a searched move within the clock.
  engine.Send("position startpos moves e2e4 e7e5");
  engine.Send("go wtime 3000 btime 3000 winc 20 binc 20");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_FALSE(HasLine(lines, "info string book"));
  EXPECT_TRUE(IsLegalIn("startpos moves e2e4 e7e5", BestMoveOf(lines)));
  // The initial position given as a FEN has no game record: no book.
  engine.Send("position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  engine.Send("go depth 2");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_FALSE(HasLine(lines, "info string book"));
  // With OwnBook off the book is not used either.
  engine.Send("setoption name OwnBook value false");
  engine.Send("position startpos");
  engine.Send("go depth 2");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  EXPECT_FALSE(HasLine(lines, "info string book"));
  // A book file that cannot be opened is reported.
  engine.Send("setoption name BookFile value " + dir + "/missing.bok");
  EXPECT_TRUE(engine.WaitFor("info string book file"));
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
  std::filesystem::remove_all(dir);
}
