// Legal move path counts against independently computed references.
#include <fstream>
#include <sstream>

#include "engine_test_util.h"
#include "perft.h"

namespace {

#ifdef KORVIN_SELF_CHECK
constexpr int64_t kNodeBudget = 250000;  // sanitizer builds are slow
#else
constexpr int64_t kNodeBudget = 5000000;
#endif

TEST(Perft, MatchesReferenceCounts) {
  std::ifstream in(std::string(KORVIN_TEST_DATA_DIR) + "/perft-reference.txt");
  ASSERT_TRUE(in) << "perft reference file not found";
  std::string line;
  int positions = 0, checked = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t bar = line.find('|');
    ASSERT_NE(bar, std::string::npos);
    const std::string fen = line.substr(0, bar);
    std::istringstream counts(line.substr(bar + 1));
    int64_t expected = 0;
    for (int depth = 1; counts >> expected && expected <= kNodeBudget; depth++) {
      SetFen(fen);
      EXPECT_EQ(Perft(depth), expected) << fen << " depth " << depth;
      EXPECT_EQ(E.ply, 1);
      checked++;
    }
    positions++;
  }
  EXPECT_EQ(positions, 6);
  EXPECT_GE(checked, 15);
}

}  // namespace
