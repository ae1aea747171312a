// The time given to one move and the reading of "go" words.
#include <gtest/gtest.h>

#include "uci_time.h"

TEST(UciTime, AllocationStaysWithinAThirdOfTheClockAndIsNeverZero) {
  for (int remaining : {0, 1, 5, 29, 30, 100, 999, 5000, 10000, 600000}) {
    for (int inc : {0, 50, 100, 5000}) {
      for (int togo : {0, 1, 2, 40}) {
        for (int overhead : {0, 30, 5000}) {
          const int t = AllocateTimeMs(remaining, inc, togo, overhead);
          EXPECT_GE(t, 1);
          // A move never takes more than a third of what is left (after the
          // overhead), unless only the 1 ms floor applies.
          if (t > 1) {
            EXPECT_LE(t, (remaining - overhead) / 3) << remaining << " " << inc;
          }
        }
      }
    }
  }
}

TEST(UciTime, AllocationUsesShareIncrementAndOverhead) {
  // 10 s, 0.1 s increment: 10000/30 + 75 - 30.
  EXPECT_EQ(AllocateTimeMs(10000, 100, 0, 30), 333 + 75 - 30);
  // movestogo 10 spreads the clock over ten moves.
  EXPECT_EQ(AllocateTimeMs(10000, 0, 10, 0), 1000);
  // The last move before the control may not spend everything.
  EXPECT_EQ(AllocateTimeMs(9000, 0, 1, 0), 3000);
  // A negative clock (flagged) still gives the least move time.
  EXPECT_EQ(AllocateTimeMs(-50, 0, 0, 30), 1);
}

TEST(UciTime, GoWordsSetTheLimits) {
  std::vector<std::string> notes;
  GoLimits g = ParseGoWords({"wtime", "9000", "btime", "8000", "winc", "100", "binc", "50",
                             "movestogo", "20"},
                            notes);
  EXPECT_TRUE(notes.empty());
  EXPECT_FALSE(g.infinite);
  int timeLimit = 0, maxDepth = 0;
  SearchLimits(g, 1, 30, timeLimit, maxDepth);  // Black to move
  EXPECT_EQ(timeLimit, AllocateTimeMs(8000, 50, 20, 30));
  EXPECT_EQ(maxDepth, 99);

  g = ParseGoWords({"depth", "7"}, notes);
  SearchLimits(g, 0, 30, timeLimit, maxDepth);
  EXPECT_EQ(maxDepth, 7);
  EXPECT_EQ(timeLimit, kNoTimeLimit);

  g = ParseGoWords({"movetime", "500"}, notes);
  SearchLimits(g, 0, 30, timeLimit, maxDepth);
  EXPECT_EQ(timeLimit, 470);

  // Bare go and go infinite analyse until stop; depth 0 becomes depth 1.
  EXPECT_TRUE(ParseGoWords({}, notes).infinite);
  EXPECT_TRUE(ParseGoWords({"infinite"}, notes).infinite);
  EXPECT_EQ(ParseGoWords({"depth", "0"}, notes).depth, 1);
  EXPECT_EQ(ParseGoWords({"depth", "500"}, notes).depth, 500);
  SearchLimits(ParseGoWords({"depth", "500"}, notes), 0, 0, timeLimit, maxDepth);
  EXPECT_EQ(maxDepth, 99);
}

TEST(UciTime, MalformedGoWordsAreNotedAndSkipped) {
  std::vector<std::string> notes;
  GoLimits g = ParseGoWords({"wtime", "abc", "depth", "3", "nodes", "1000", "frobnicate"}, notes);
  EXPECT_EQ(g.depth, 3);
  EXPECT_EQ(g.whiteTime, -1);
  EXPECT_EQ(notes.size(), 4u);  // wtime without number, abc, nodes, frobnicate
  // Only the other side's clock: a quick move, never an endless search.
  g = ParseGoWords({"wtime", "5000"}, notes);
  int timeLimit = 0, maxDepth = 0;
  SearchLimits(g, 1, 30, timeLimit, maxDepth);
  EXPECT_EQ(timeLimit, 1);
  // Huge numbers are clamped, not overflowed.
  g = ParseGoWords({"wtime", "99999999999999999999"}, notes);
  EXPECT_EQ(g.whiteTime, 1000000000);
}
