// The constant tables of the evaluation and the centre distance.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine_state.h"
#include "eval_tables.h"
#include "evaluate.h"

namespace {

int Square(int file, int rank) { return 22 + 10 * (rank - 1) + file; }  // file 0..7

TEST(EvalTables, CentreTableValuesAndSymmetry) {
  int tens = 0, fives = 0;
  for (int s = 0; s <= 120; s++) {
    const int v = centreTable[s];
    if (!IsPlayingSquare(s)) {
      EXPECT_EQ(v, 0) << "off-board index " << s;
      continue;
    }
    EXPECT_TRUE(v == 0 || v == 5 || v == 10) << s;
    if (v == 10) tens++;
    if (v == 5) fives++;
    const int file = s % 10 - 2, rank = s / 10 - 1;
    EXPECT_EQ(v, centreTable[Square(7 - file, rank)]) << "left-right mirror of " << s;
    EXPECT_EQ(v, centreTable[Square(file, 9 - rank)]) << "top-bottom mirror of " << s;
  }
  EXPECT_EQ(tens, 4);
  EXPECT_EQ(fives, 12);
  for (int s : {55, 56, 65, 66}) EXPECT_EQ(centreTable[s], 10) << s;  // d4 e4 d5 e5
  EXPECT_EQ(centreTable[44], 5);  // c3
  EXPECT_EQ(centreTable[77], 5);  // f6
  EXPECT_EQ(centreTable[23], 0);  // b1
  EXPECT_EQ(centreTable[54], 5);  // c4
  EXPECT_EQ(centreTable[53], 0);  // b4
}

TEST(EvalTables, FileWeights) {
  const int expected[11] = {0, 0, 1, 1, 2, 3, 3, 2, 1, 1, 0};
  for (int f = 0; f <= 10; f++) EXPECT_EQ(fileWeight[f], expected[f]) << "file index " << f;
}

// The 24 ring offsets cover exactly the 5x5 block around a king without its
// centre: 20 on the eight neighbours, 10 on the sixteen squares beyond.
TEST(EvalTables, KingZoneRingCoversTheFiveByFiveBlock) {
  EXPECT_EQ(kingZoneOffset[0], 0);
  EXPECT_EQ(kingZoneWeight[0], 0);
  const int king = 66;  // e5: the whole block is on the board
  int seen[121] = {};
  for (int i = 1; i <= 24; i++) {
    const int s = king + kingZoneOffset[i];
    ASSERT_TRUE(IsPlayingSquare(s)) << i;
    seen[s]++;
    const int df = std::abs(s % 10 - king % 10), dr = std::abs(s / 10 - king / 10);
    const int distance = df > dr ? df : dr;
    EXPECT_EQ(kingZoneWeight[i], distance == 1 ? 20 : 10) << "slot " << i;
    EXPECT_LE(distance, 2);
    EXPECT_GE(distance, 1);
  }
  for (int s = 0; s <= 120; s++) EXPECT_LE(seen[s], 1) << "square " << s << " listed twice";
  // The extreme offsets keep a ring inside the 122-entry maps.
  EXPECT_EQ(22 + kingZoneOffset[9], 0);
  EXPECT_EQ(99 + kingZoneOffset[24], 121);
}

TEST(EvalTables, CentreDistance) {
  for (int s : {55, 56, 65, 66}) EXPECT_EQ(CentreDistance(s), 1) << s;
  for (int s : {22, 29, 92, 99}) EXPECT_EQ(CentreDistance(s), 7) << s;
  EXPECT_EQ(CentreDistance(86), 3);  // e7
  EXPECT_EQ(CentreDistance(26), 4);  // e1
  EXPECT_EQ(CentreDistance(44), 3);  // c3
  EXPECT_EQ(CentreDistance(45), 2);  // d3
  for (int s = 22; s <= 99; s++)
    if (IsPlayingSquare(s)) {
      EXPECT_EQ(CentreDistance(s), CentreDistance(121 - s)) << "point mirror of " << s;
    }
}

}  // namespace
