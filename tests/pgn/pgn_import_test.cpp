// Reading PGN: the awkward corpus and the refused games in tests/data/pgn,
// a byte-order mark, a comment, variation or tag left open, several games in
// one text, the half-move and file size limits, and a refused game that
// leaves the current game exactly as it was.
#include <gtest/gtest.h>

#include "fresh_folder.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config_file.h"
#include "engine_state.h"
#include "notation.h"
#include "pgn_file.h"
#include "pgn_reader.h"
#include "position.h"
#include "storage_error.h"

namespace {

std::string ReadData(const char* name) {
  std::ifstream in(std::string(KORVIN_TEST_DATA_DIR) + "/pgn/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Import(const std::string& text, int number, int& count) {
  return ImportPgnBytes(reinterpret_cast<const unsigned char*>(text.data()), text.size(), number, count);
}

PgnGame Read(const std::string& text, int number) {
  PgnGame game;
  int count = 0;
  ReadPgnGame(reinterpret_cast<const unsigned char*>(text.data()), text.size(), number, game, count);
  return game;
}

TEST(PgnImport, ReadsTheAwkwardCorpus) {
  const std::string text = ReadData("awkward.pgn");
  StartEngine(1);
  int count = 0;
  for (int number = 1; number <= 5; number++) {
    SCOPED_TRACE("game " + std::to_string(number));
    const PgnGame game = Read(text, number);
    ASSERT_TRUE(Import(text, number, count)) << StorageError();
    EXPECT_EQ(count, 6);
    EXPECT_EQ(CurrentFen(), PgnTag(game, "FinalFEN"));
    EXPECT_EQ(std::to_string(E.gameMoveNumber), PgnTag(game, "HalfMoves"));
    EXPECT_STREQ(PositionSelfCheck(), "");
  }
  // The tag values come back unescaped; variations never reach the main line.
  const PgnGame first = Read(text, 1);
  EXPECT_EQ(PgnTag(first, "Black"), "Someone \"Quoted\" \\ Back");
  EXPECT_EQ(first.result, "1-0");
  EXPECT_EQ(first.moves.size(), 17u);
  EXPECT_EQ(Read(text, 4).result, "");

  // The game without tags: the fool's mate, with Black's queen on h4.
  ASSERT_TRUE(Import(text, 6, count)) << StorageError();
  EXPECT_EQ(E.gameMoveNumber, 4);
  EXPECT_EQ(E.board[ParseSquare("h4")], kBlackQueen);
  EXPECT_EQ(Read(text, 6).result, "0-1");

  // An under-promotion keeps its piece in the record.
  ASSERT_TRUE(Import(text, 4, count));
  EXPECT_EQ(E.gamePromotion[9], kWhiteKnight);
}

TEST(PgnImport, PassesOverAByteOrderMark) {
  const std::string mark = "\xEF\xBB\xBF";
  const std::string tagged = mark + "[Event \"Marked\"]\n[White \"A\"]\n\n1. e4 e5 2. Nf3 *\n";
  StartEngine(1);
  int count = 0;
  ASSERT_TRUE(Import(tagged, 1, count)) << StorageError();
  EXPECT_EQ(count, 1);
  EXPECT_EQ(E.gameMoveNumber, 3);
  EXPECT_EQ(PgnTag(Read(tagged, 1), "Event"), "Marked");
  // Moves straight after the mark, and an escape line first of all.
  ASSERT_TRUE(Import(mark + "1. d4 *", 1, count)) << StorageError();
  EXPECT_EQ(E.gameMoveNumber, 1);
  ASSERT_TRUE(Import(mark + "% exported by a web site\n1. c4 e5 *", 1, count)) << StorageError();
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_FALSE(Import(mark, 1, count));
  EXPECT_STREQ(StorageError(), "no PGN game in the file");
}

TEST(PgnImport, RefusesWithTheGameTheMoveAndTheReason) {
  const std::string text = ReadData("refused.pgn");
  StartEngine(1);
  int count = 0;
  for (int number = 1; number <= 6; number++) {
    const std::string expected = "game " + std::to_string(number) + PgnTag(Read(text, number), "Refusal");
    EXPECT_FALSE(Import(text, number, count)) << expected;
    EXPECT_EQ(std::string(StorageError()).rfind(expected, 0), 0u) << StorageError();
    EXPECT_EQ(count, 6);
  }
  EXPECT_FALSE(Import(text, 7, count));
  EXPECT_STREQ(StorageError(), "there is no game 7: the file holds 6 games");
  EXPECT_FALSE(Import("% only an escape line\n", 1, count));
  EXPECT_STREQ(StorageError(), "no PGN game in the file");
}

TEST(PgnImport, ARefusedGameLeavesTheCurrentGameAsItWas) {
  StartEngine(1);
  int count = 0;
  ASSERT_TRUE(Import("1. d4 Nf6 2. c4 e6", 1, count));
  settings.humanPlaysBlack = 1;
  static EngineState before;
  std::memcpy(static_cast<void*>(&before), &E, sizeof(EngineState));
  const Settings settingsBefore = settings;
  EXPECT_FALSE(Import("[White \"Korvin 4\"]\n1. e4 e5 2. Ke3 *", 1, count));
  EXPECT_EQ(std::memcmp(&before, &E, sizeof(EngineState)), 0);
  EXPECT_EQ(std::memcmp(&settingsBefore, &settings, sizeof(Settings)), 0);
}

// Everything after an opening that is never closed went into it, so the game
// read is not the game written: refused, naming what was left open and where,
// while the current game, position and orientation stay exactly as they were.
TEST(PgnImport, RefusesAGameThatLeavesACommentVariationOrTagOpen) {
  StartEngine(1);
  int count = 0;
  ASSERT_TRUE(Import("1. d4 Nf6 2. c4 e6 *", 1, count));
  settings.humanPlaysBlack = 1;
  static EngineState before;
  std::memcpy(static_cast<void*>(&before), &E, sizeof(EngineState));
  const Settings settingsBefore = settings;
  const struct {
    std::string text;
    int number;
    const char* reason;
  } cases[] = {
      {"1. e4 {never closed e5 2. Nf3", 1, "game 1: a comment opened after move 1. e4 is never closed"},
      {"1. e4 e5 2. Nf3 {closed} Nc6 {not closed 3. Bb5 a6 *\n\n[Event \"next\"]\n1. c4 *", 1,
       "game 1: a comment opened after move 2... Nc6 is never closed"},
      {"[Event \"x\"]\n{ an introduction\n1. e4 e5 *", 1,
       "game 1: a comment opened before the first move is never closed"},
      {"1. e4 e5 (1... c5 2. Nf3 d6 2. Nf3 Nc6 *", 1,
       "game 1: a variation opened after move 1... e5 is never closed"},
      // The inner variation is closed; the next game's tags end this one.
      {"1. e4 (1. d4 d5 (1... Nf6) 2. c4 *\n\n[Event \"next\"]\n1. c4 *", 1,
       "game 1: a variation opened after move 1. e4 is never closed"},
      {"[Event \"x\"]\n[White \"Someone\n[Black \"B\"]\n1. e4 *", 1, "game 1: the White tag is never closed"},
      {"[Event \"x\" 1. e4 e5 2. Nf3 *", 1, "game 1: the Event tag is never closed"},
      {"[Event \"x\"]\n1. e4 e5 *\n\n[Event \"y\"]\n[Site \"z\"", 2, "game 2: the Site tag is never closed"},
      {"[\n1. e4 *", 1, "game 1: a tag is never closed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_FALSE(Import(c.text, c.number, count));
    EXPECT_STREQ(StorageError(), c.reason);
    EXPECT_EQ(std::memcmp(&before, &E, sizeof(EngineState)), 0);
    EXPECT_EQ(std::memcmp(&settingsBefore, &settings, sizeof(Settings)), 0);
  }

  // A game before the one left open is whole; the comment after it makes
  // a game of its own.
  const std::string trailing = "1. e4 e5 2. Nf3 1-0\n{ a note never closed";
  ASSERT_TRUE(Import(trailing, 1, count)) << StorageError();
  EXPECT_EQ(E.gameMoveNumber, 3);
  EXPECT_EQ(count, 2);
  EXPECT_FALSE(Import(trailing, 2, count));
  EXPECT_STREQ(StorageError(), "game 2: a comment opened before the first move is never closed");
}

TEST(PgnImport, NamesTheSizeLimitInMegabytes) {
  const std::filesystem::path made = FreshFolder("korvin-pgn-");
  ASSERT_FALSE(made.empty());
  const std::string pattern = made.string();
  const std::filesystem::path dir = pattern, path = dir / "big.pgn";
  StartEngine(1);
  int count = 0;
  ASSERT_TRUE(Import("1. e4 c5 *", 1, count));
  static EngineState before;
  std::memcpy(static_cast<void*>(&before), &E, sizeof(EngineState));
  // Files without data blocks: only their length counts.
  for (const std::uintmax_t size : {(std::uintmax_t{64} << 20) + 1, (std::uintmax_t{64} << 20) + 2,
                                    std::uintmax_t{3} << 30}) {
    SCOPED_TRACE(size);
    std::ofstream(path).close();
    std::filesystem::resize_file(path, size);
    EXPECT_FALSE(LoadPgn(path.string().c_str(), 1, count));
    EXPECT_STREQ(StorageError(), "the file is larger than 64 MB");
    EXPECT_EQ(std::memcmp(&before, &E, sizeof(EngineState)), 0);
  }
  std::filesystem::remove_all(dir);
}

TEST(PgnImport, OrientationFollowsTheProgramsName) {
  StartEngine(1);
  int count = 0;
  settings.humanPlaysBlack = 0;
  ASSERT_TRUE(Import("[White \"Korvin 4 (Expert)\"]\n[Black \"Human\"]\n1. e4 *", 1, count));
  EXPECT_EQ(settings.humanPlaysBlack, 1);
  ASSERT_TRUE(Import("[White \"Human\"]\n[Black \"Korvin 4\"]\n1. e4 *", 1, count));
  EXPECT_EQ(settings.humanPlaysBlack, 0);
  settings.humanPlaysBlack = 1;
  ASSERT_TRUE(Import("[White \"Tal\"]\n[Black \"Botvinnik\"]\n1. e4 *", 1, count));
  EXPECT_EQ(settings.humanPlaysBlack, 1);  // a game between others keeps the board as it is
}

TEST(PgnImport, HoldsAtMost999HalfMoves) {
  // Knights out and back: a legal game of any length.
  std::string text;
  for (int round = 1; round <= 250; round++) {
    const int number = 2 * round - 1;
    text += std::to_string(number) + ". Nf3 Nf6 " + std::to_string(number + 1) + ". Ng1 Ng8 ";
  }
  StartEngine(1);
  int count = 0;
  EXPECT_FALSE(Import(text, 1, count));
  EXPECT_STREQ(StorageError(), "game 1, move 500... Ng8: more than 999 half-moves");
  text.erase(text.rfind(" Ng8"));
  ASSERT_TRUE(Import(text, 1, count)) << StorageError();
  EXPECT_EQ(E.gameMoveNumber, 999);
  EXPECT_EQ(E.gameFrom[1000], -1);
}

}  // namespace
