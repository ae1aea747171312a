// Recorded scores: every position of eval_golden.txt must get the score and
// the two accumulators written beside it. The scores were taken from the
// evaluation as it stood before it was split into one function per term, so
// any change of any term on any of these positions shows up here.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "eval_test_util.h"
#include "game.h"
#include "moves.h"

namespace {

struct GoldenRecord {
  std::string fen, game, line;
  int rootSide = 0;
  int score = 0, white = 0, black = 0;
};

std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t bar; (bar = text.find(" | ", start)) != std::string::npos; start = bar + 3)
    fields.push_back(text.substr(start, bar - start));
  fields.push_back(text.substr(start));
  return fields;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;)
    if (w != "-") words.push_back(w);
  return words;
}

// Reads the file; false (with the reason) on a line that does not parse.
bool ReadGolden(std::vector<GoldenRecord>& records, std::string& error) {
  std::ifstream in(KORVIN_EVAL_GOLDEN_FILE);
  if (!in) {
    error = "cannot open " KORVIN_EVAL_GOLDEN_FILE;
    return false;
  }
  std::string text;
  for (int number = 1; std::getline(in, text); number++) {
    if (text.empty() || text[0] == '#') continue;
    const std::vector<std::string> f = Fields(text);
    GoldenRecord r;
    std::istringstream side(f.size() == 5 ? f[3] : ""), scores(f.size() == 5 ? f[4] : "");
    if (f.size() != 5 || !(side >> r.rootSide) || !(scores >> r.score >> r.white >> r.black)) {
      error = "line " + std::to_string(number) + " does not parse: " + text;
      return false;
    }
    r.fen = f[0];
    r.game = f[1];
    r.line = f[2];
    records.push_back(r);
  }
  return true;
}

// Sets up the record's position as a search would reach it: the FEN as a
// fresh game, the game moves into the record, then the line from ply 1.
void Replay(const GoldenRecord& r) {
  std::string error;
  ASSERT_TRUE(SetupFen(r.fen, error)) << r.fen << ": " << error;
  for (const std::string& m : Words(r.game)) ASSERT_TRUE(PlayMoveText(m, error)) << error;
  E.ply = 1;
  E.moveCount = 0;
  E.incrementalScore = PositionReset();
  E.savedCastleRights[1] = E.castleRights;
  E.plyFrom[1] = 0;
  E.rootSide = r.rootSide;
  for (const std::string& m : Words(r.line)) {
    int from = 0, to = 0;
    char promotion = '\0';
    ASSERT_TRUE(ParseMoveText(m, from, to, promotion)) << m;
    ASSERT_TRUE(IsLegalHere(from, to)) << r.fen << ": line move " << m;
    MakeMove(from, to);
  }
}

TEST(EvalGolden, RecordedScoresAreReproduced) {
  std::vector<GoldenRecord> records;
  std::string error;
  ASSERT_TRUE(ReadGolden(records, error)) << error;
  FreshEvalEngine();
  int withLine = 0, samePiece = 0, rightsLost = 0, castled = 0, low = 0;
  for (const GoldenRecord& r : records) {
    Replay(r);
    if (testing::Test::HasFatalFailure()) return;
    const std::string where = r.fen + " | " + r.game + " | " + r.line;
    EXPECT_EQ(Evaluate(), r.score) << where;
    EXPECT_EQ(evalWhiteTotal, r.white) << where;
    EXPECT_EQ(evalBlackTotal, r.black) << where;
    withLine += !Words(r.line).empty();
    samePiece += E.gameMoveNumber > 2 && E.plyFrom[1] == E.gameTo[E.gameMoveNumber - 1];
    rightsLost += (E.savedCastleRights[1] & ~E.castleRights) != 0;
    castled += E.whiteCastled + E.blackCastled > 0;
    low += E.whiteMaterial < 1500 || E.blackMaterial < 1500;
  }
  // The file must hold enough positions, and reach the terms that depend on
  // the game record and the searched line.
  EXPECT_GE(records.size(), 500u);
  EXPECT_GT(withLine, 200);
  EXPECT_GT(samePiece, 50);
  EXPECT_GT(rightsLost, 50);
  EXPECT_GT(castled, 5);
  EXPECT_GT(low, 100);
}

}  // namespace
