// Game file -> PGN -> game file gives the same bytes, over many random legal
// games; the writer's tags, results and line lengths; saving to a file.
#include <gtest/gtest.h>

#include "fresh_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "game_file.h"
#include "notation.h"
#include "pgn_file.h"
#include "random_record.h"
#include "storage_error.h"

namespace {

using Bytes = std::vector<unsigned char>;

bool Import(const std::string& text) {
  int count = 0;
  return ImportPgnBytes(reinterpret_cast<const unsigned char*>(text.data()), text.size(), 1, count);
}

void PlayMoves(const std::string& moves) {
  NewGame();
  ForgetPgnTags();
  std::istringstream in(moves);
  std::string move, error;
  while (in >> move) ASSERT_TRUE(PlayMoveText(move, error)) << move << ": " << error;
  E.ply = 1;
}

std::string Pgn() {
  std::string text;
  EXPECT_TRUE(GameToPgn(text, 0, "")) << StorageError();
  return text;
}

std::string ResultOf(const std::string& moves) {
  PlayMoves(moves);
  const std::string text = Pgn();
  const size_t at = text.find("[Result \"");
  return text.substr(at + 9, text.find('"', at + 9) - at - 9);
}

TEST(PgnRoundTrip, RandomGamesComeBackByteForByte) {
  StartEngine(7);
  int promotions[15] = {}, shortCastles = 0, longCastles = 0, enPassant = 0, mates = 0, draws = 0;
  for (int game = 1; game <= 300; game++) {
    PlayRandomRecord(RandomInt(1, 600));
    const int moves = E.gameMoveNumber;
    for (int n = 1; n <= moves; n++) {
      promotions[E.gamePromotion[n]]++;
      const int from = E.gameFrom[n], to = E.gameTo[n];
      const int king = n % 2 == 1 ? 26 : 96;
      if (from == king && (to == king + 2 || to == king - 2)) (to > from ? shortCastles : longCastles)++;
      if (E.gameCaptured[n] == kEmpty && (to - from) % 10 != 0 && n > 1 && E.gameEpSquare[n - 1] != 0 &&
          (to == E.gameEpSquare[n - 1] + 10 || to == E.gameEpSquare[n - 1] - 10) &&
          (E.board[to] == kWhitePawn || E.board[to] == kBlackPawn || n < moves))
        enPassant++;
    }
    Bytes saved, again;
    GameToBytes(saved);
    const std::string text = Pgn();
    if (text.find("#") != std::string::npos) mates++;
    if (text.find("[Result \"1/2-1/2\"]") != std::string::npos) draws++;
    ASSERT_TRUE(Import(text)) << StorageError() << "\n" << text;
    GameToBytes(again);
    ASSERT_EQ(saved, again) << text;
    ASSERT_EQ(E.gameMoveNumber, moves);
  }
  for (int code : {kWhiteKnight, kWhiteBishop, kWhiteRook, kWhiteQueen, kBlackKnight, kBlackBishop,
                   kBlackRook, kBlackQueen})
    EXPECT_GT(promotions[code], 0) << "no promotion to code " << code;
  EXPECT_GT(shortCastles, 0);
  EXPECT_GT(longCastles, 0);
  EXPECT_GT(enPassant, 0);
  EXPECT_GT(mates, 0);
  EXPECT_GT(draws, 0);
}

TEST(PgnRoundTrip, WritesTheSevenTagsAndTheDeclaredResult) {
  StartEngine(1);
  PlayMoves("e2e4 e7e5");
  settings.humanPlaysBlack = 1;
  std::string text;
  ASSERT_TRUE(GameToPgn(text, 4, "2024.05.17"));
  EXPECT_EQ(text,
            "[Event \"Korvin 4 game\"]\n[Site \"?\"]\n[Date \"2024.05.17\"]\n[Round \"-\"]\n"
            "[White \"Korvin 4 (Expert)\"]\n[Black \"Human\"]\n[Result \"*\"]\n\n1. e4 e5 *\n\n");
  settings.humanPlaysBlack = 0;

  EXPECT_EQ(ResultOf("f2f3 e7e5 g2g4 d8h4"), "0-1");
  EXPECT_EQ(ResultOf("e2e4 e7e5 f1c4 b8c6 d1h5 g8f6 h5f7"), "1-0");
  // Stalemate: the quickest known, ten moves.
  EXPECT_EQ(ResultOf("e2e3 a7a5 d1h5 a8a6 h5a5 h7h5 h2h4 a6h6 a5c7 f7f6 c7d7 e8f7 d7b7 d8d3 "
                     "b7b8 d3h7 b8c8 f7g6 c8e6"),
            "1/2-1/2");
  // The third time the knights come home is a draw the program announces.
  EXPECT_EQ(ResultOf("g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8"), "*");
  EXPECT_EQ(ResultOf("g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8"), "1/2-1/2");
}

TEST(PgnRoundTrip, LinesStayShortAndTheViewedPositionStays) {
  StartEngine(3);
  PlayRandomRecord(400);
  const Bytes saved = [] { Bytes b; GameToBytes(b); return b; }();
  StepBackGameMove();
  StepBackGameMove();
  const std::string before = CurrentFen();
  const int viewed = E.gameMoveNumber;
  const std::string text = Pgn();
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) EXPECT_LE(line.size(), 79u) << line;
  EXPECT_EQ(CurrentFen(), before);
  EXPECT_EQ(E.gameMoveNumber, viewed);
  Bytes after;
  GameToBytes(after);
  EXPECT_EQ(after, saved);
}

TEST(PgnRoundTrip, SavesAtomicallyAndRefusesAnEmptyRecord) {
  const std::filesystem::path made = FreshFolder("korvin-pgn-");
  ASSERT_FALSE(made.empty());
  const std::string pattern = made.string();
  const std::filesystem::path dir = pattern, path = dir / "game.pgn";
  StartEngine(1);
  PlayMoves("d2d4 d7d5");
  ASSERT_TRUE(SavePgn(path.string().c_str(), 2, ""));
  std::ifstream in(path);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();  // an open file cannot be removed on Windows
  EXPECT_NE(text.find("1. d4 d5 *"), std::string::npos);
  EXPECT_NE(text.find("Korvin 4 (Intermediate)"), std::string::npos);
  int count = 0;
  PlayMoves("");
  ASSERT_TRUE(LoadPgn(path.string().c_str(), 1, count));
  EXPECT_EQ(E.gameMoveNumber, 2);

  NewGame();
  EXPECT_FALSE(SavePgn(path.string().c_str(), 0, ""));
  EXPECT_STREQ(StorageError(), "the game has no moves to save");
  EXPECT_TRUE(std::filesystem::exists(path));  // the file is left alone
  EXPECT_FALSE(LoadPgn((dir / "missing.pgn").string().c_str(), 1, count));
  EXPECT_STREQ(StorageError(), "file not found");
  EXPECT_TRUE(IsPgnPath("a/B.PGN"));
  EXPECT_FALSE(IsPgnPath("game.kga"));
  std::filesystem::remove_all(dir);
}

}  // namespace
