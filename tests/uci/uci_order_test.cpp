// Commands sent without waiting take effect in the order they were sent: a
// stop ends the search that was running when it was read and no later one,
// every go gets one bestmove, and isready is answered after what came before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uci_test_util.h"

namespace {

// The lines of `lines` that start with "bestmove" or "readyok", in order.
std::vector<std::string> Replies(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& l : lines)
    if (l.rfind("bestmove", 0) == 0 || l.rfind("readyok", 0) == 0) out.push_back(l);
  return out;
}

std::string MoveOf(const std::string& bestmoveLine) {
  const std::vector<std::string> w = Words(bestmoveLine);
  return w.size() >= 2 ? w[1] : "";
}

}  // namespace

TEST(UciOrder, HundredPipelinedGoStopPairsGetHundredBestmoves) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  const std::vector<std::string> positions = {
      "startpos", "startpos moves e2e4", "startpos moves e2e4 c7c5",
      "fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "startpos moves d2d4 g8f6 c2c4"};
  const std::vector<std::string> gos = {"go infinite", "go", "go movetime 5000",
                                        "go wtime 60000 btime 60000", "go depth 30"};
  // All 100 pairs in one write, then isready: nothing waits for an answer.
  std::string batch;
  std::vector<std::string> asked;
  for (int i = 0; i < 100; i++) {
    const std::string& position = positions[i % positions.size()];
    asked.push_back(position);
    batch += "position " + position + "\n" + gos[(i / 5) % gos.size()] + "\nstop\n";
  }
  batch += "isready\n";
  engine.SendRaw(batch);
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("readyok", lines, 120000));
  engine.Collect(lines, 300);  // nothing may follow
  const std::vector<std::string> replies = Replies(lines);
  ASSERT_EQ(replies.size(), 101u);
  for (int i = 0; i < 100; i++) {
    ASSERT_EQ(replies[i].rfind("bestmove", 0), 0u) << i << ": " << replies[i];
    EXPECT_TRUE(IsLegalIn(asked[i], MoveOf(replies[i]))) << i << ": " << replies[i];
  }
  EXPECT_EQ(replies[100], "readyok");
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciOrder, StopAfterAWaitingGoBelongsToThatGo) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  // The stop is meant for the infinite search; the depth-5 search before it
  // must run to its depth.
  engine.SendRaw("position startpos moves e2e4\ngo depth 5\ngo infinite\nstop\nisready\n");
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("readyok", lines));
  const std::vector<std::string> replies = Replies(lines);
  ASSERT_EQ(replies.size(), 3u);
  bool sawDepth5 = false;
  for (const std::string& l : lines) {
    if (l.rfind("info depth 5 ", 0) == 0) sawDepth5 = true;
    if (l.rfind("bestmove", 0) == 0) break;
  }
  EXPECT_TRUE(sawDepth5);
  EXPECT_TRUE(IsLegalIn("startpos moves e2e4", MoveOf(replies[0])));
  EXPECT_TRUE(IsLegalIn("startpos moves e2e4", MoveOf(replies[1])));
  // A stop with no search running is ignored: the next search is not cut.
  engine.SendRaw("stop\ngo depth 4\n");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  bool sawDepth4 = false;
  for (const std::string& l : lines)
    if (l.rfind("info depth 4 ", 0) == 0) sawDepth4 = true;
  EXPECT_TRUE(sawDepth4);
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciOrder, PositionAndNewGameDuringASearchWaitForItsEnd) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  engine.Send("position startpos moves e2e4 e7e5 g1f3");
  engine.Send("go infinite");
  ASSERT_TRUE(engine.WaitFor("info depth 2"));
  // isready after a waiting position waits with it; the stop after them
  // still ends the running search. The last isready comes while the depth-2
  // search runs, and is answered at once.
  engine.SendRaw("ucinewgame\nposition startpos moves d2d4\nisready\nstop\ngo depth 2\nisready\n");
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("readyok", lines));
  ASSERT_TRUE(engine.WaitFor("readyok", lines));
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  const std::vector<std::string> replies = Replies(lines);
  ASSERT_EQ(replies.size(), 4u);
  ASSERT_EQ(replies[0].rfind("bestmove", 0), 0u);
  EXPECT_TRUE(IsLegalIn("startpos moves e2e4 e7e5 g1f3", MoveOf(replies[0])));
  EXPECT_EQ(replies[1], "readyok");
  EXPECT_EQ(replies[2], "readyok");
  EXPECT_TRUE(IsLegalIn("startpos moves d2d4", MoveOf(replies[3])));
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciOrder, QuitDuringASearchAnswersEveryGoAndEnds) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  engine.Send("go infinite");
  ASSERT_TRUE(engine.WaitFor("info depth 2"));
  // The waiting search (far too deep to finish) ends at once because quit
  // has been read; nothing after quit is taken.
  engine.SendRaw("position startpos moves g1f3\ngo depth 60\nquit\ngo depth 1\n");
  std::vector<std::string> lines;
  engine.Collect(lines, 3000);
  const std::vector<std::string> replies = Replies(lines);
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_TRUE(IsLegalIn("startpos", MoveOf(replies[0])));
  EXPECT_TRUE(IsLegalIn("startpos moves g1f3", MoveOf(replies[1])));
  EXPECT_EQ(engine.WaitExit(), 0);
}

TEST(UciOrder, LevelOptionPlaysTheWindowProgramsLimits) {
  UciChild engine(kUciBinary);
  StartQuiet(engine);
  engine.Send("setoption name Level value 5");
  ASSERT_TRUE(engine.WaitFor("info string Level"));
  // Novice: one ply, whatever the clock allows.
  engine.Send("setoption name Level value 1");
  engine.Send("position startpos moves e2e4");
  engine.Send("go wtime 600000 btime 600000");
  std::vector<std::string> lines;
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  int iterations = 0;
  for (const std::string& l : lines)
    if (l.rfind("info depth", 0) == 0) iterations++;
  EXPECT_EQ(iterations, 1);
  EXPECT_TRUE(IsLegalIn("startpos moves e2e4", BestMoveOf(lines)));
  // Intermediate: a tenth of a second deepens past the depth go asks for.
  engine.Send("setoption name Level value 2");
  engine.Send("go depth 1");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("bestmove", lines));
  bool deeper = false;
  for (const std::string& l : lines)
    if (l.rfind("info depth 2 ", 0) == 0) deeper = true;
  EXPECT_TRUE(deeper);
  // Analysis stays analysis: an infinite search waits for stop.
  engine.Send("go infinite");
  lines.clear();
  ASSERT_TRUE(engine.WaitFor("info depth 1", lines));
  engine.Collect(lines, 300);
  EXPECT_TRUE(Replies(lines).empty());
  engine.Send("stop");
  EXPECT_TRUE(engine.WaitFor("bestmove"));
  engine.Send("quit");
  EXPECT_EQ(engine.WaitExit(), 0);
}
