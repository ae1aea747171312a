// A PGN game that was loaded goes out again with its own tags: all of them,
// the seven every game has first and in their order, the others as they
// came; its result stays as loaded until moves are added. Any other game,
// a diverging move or ForgetPgnTags brings back the program's own tags.
#include <gtest/gtest.h>

#include "fresh_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine_state.h"
#include "game.h"
#include "notation.h"
#include "pgn_file.h"
#include "position.h"
#include "storage_error.h"

namespace {

// Tags out of order, one of the seven missing, a quote and a backslash in
// values, and a result the moves alone do not give (White lost on time).
const std::string kLoaded =
    "[ECO \"C20\"]\n"
    "[Event \"Club \\\"Open\\\" 2024\"]\n"
    "[Site \"https://example.org/game/1\"]\n"
    "[White \"Back\\\\slash, A.\"]\n"
    "[Black \"B. Player\"]\n"
    "[Result \"0-1\"]\n"
    "[WhiteElo \"1850\"]\n"
    "[TimeControl \"300+2\"]\n"
    "[PlyCount \"4\"]\n"
    "[Date \"2024.03.09\"]\n"
    "\n"
    "1. e4 e5 2. Qh5 Nc6 0-1\n";

const std::string kWritten =
    "[Event \"Club \\\"Open\\\" 2024\"]\n"
    "[Site \"https://example.org/game/1\"]\n"
    "[Date \"2024.03.09\"]\n"
    "[Round \"?\"]\n"
    "[White \"Back\\\\slash, A.\"]\n"
    "[Black \"B. Player\"]\n"
    "[Result \"0-1\"]\n"
    "[ECO \"C20\"]\n"
    "[WhiteElo \"1850\"]\n"
    "[TimeControl \"300+2\"]\n"
    "[PlyCount \"4\"]\n"
    "\n"
    "1. e4 e5 2. Qh5 Nc6 0-1\n"
    "\n";

bool Import(const std::string& text) {
  int count = 0;
  return ImportPgnBytes(reinterpret_cast<const unsigned char*>(text.data()), text.size(), 1, count);
}

std::string Pgn() {
  std::string text;
  EXPECT_TRUE(GameToPgn(text, 4, "2030.01.01")) << StorageError();
  return text;
}

void Play(const std::string& move) {
  std::string error;
  ASSERT_TRUE(PlayMoveText(move, error)) << move << ": " << error;
  E.ply = 1;
}

bool HasLine(const std::string& text, const std::string& line) {
  return text.rfind(line + "\n", 0) == 0 || text.find("\n" + line + "\n") != std::string::npos;
}

bool HasOwnTags(const std::string& text) {
  return text.rfind("[Event \"Korvin 4 game\"]\n", 0) == 0 && HasLine(text, "[Round \"-\"]") &&
         text.find("Korvin 4 (Expert)") != std::string::npos && text.find("ECO") == std::string::npos &&
         text.find("B. Player") == std::string::npos;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PgnTags, ALoadedGameIsSavedWithItsOwnTags) {
  const std::filesystem::path made = FreshFolder("korvin-pgn-");
  ASSERT_FALSE(made.empty());
  const std::string pattern = made.string();
  const std::filesystem::path dir = pattern, in = dir / "in.pgn", out = dir / "out.pgn";
  std::ofstream(in, std::ios::binary) << kLoaded;
  StartEngine(1);
  int count = 0;
  ASSERT_TRUE(LoadPgn(in.string().c_str(), 1, count)) << StorageError();
  // The level and the date of saving belong to the program's own games.
  ASSERT_TRUE(SavePgn(out.string().c_str(), 4, "2030.01.01")) << StorageError();
  EXPECT_EQ(ReadText(out), kWritten);
  // Loaded and saved again, it stays the same.
  ASSERT_TRUE(LoadPgn(out.string().c_str(), 1, count)) << StorageError();
  EXPECT_EQ(Pgn(), kWritten);
  std::filesystem::remove_all(dir);

  // A game without tags gets the values for "unknown", and its result.
  ASSERT_TRUE(Import("1. d4 d5 1/2-1/2"));
  EXPECT_EQ(Pgn(),
            "[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"?\"]\n[White \"?\"]\n"
            "[Black \"?\"]\n[Result \"1/2-1/2\"]\n\n1. d4 d5 1/2-1/2\n\n");
}

TEST(PgnTags, TheResultFollowsTheGameOnceMovesAreAdded) {
  StartEngine(1);
  ASSERT_TRUE(Import(kLoaded)) << StorageError();
  // Looking at earlier positions, or taking back a move and playing it
  // again, leaves the game as loaded.
  StepBackGameMove();
  StepBackGameMove();
  EXPECT_EQ(Pgn(), kWritten);
  StepForwardGameMove();
  Play("b8c6");
  EXPECT_EQ(Pgn(), kWritten);

  Play("f1c4");
  std::string text = Pgn();
  EXPECT_TRUE(HasLine(text, "[Result \"*\"]")) << text;
  EXPECT_TRUE(HasLine(text, "[PlyCount \"5\"]")) << text;
  EXPECT_NE(text.find("3. Bc4 *\n"), std::string::npos) << text;
  // Everything else is as loaded.
  EXPECT_EQ(text.substr(0, text.find("[Result")), kWritten.substr(0, kWritten.find("[Result")));
  EXPECT_TRUE(HasLine(text, "[TimeControl \"300+2\"]")) << text;

  Play("g8f6");
  Play("h5f7");
  text = Pgn();
  EXPECT_TRUE(HasLine(text, "[Result \"1-0\"]")) << text;
  EXPECT_TRUE(HasLine(text, "[PlyCount \"7\"]")) << text;
  EXPECT_NE(text.find("4. Qxf7# 1-0\n"), std::string::npos) << text;
  EXPECT_TRUE(HasLine(text, "[ECO \"C20\"]")) << text;
}

TEST(PgnTags, AnyOtherGameHasTheProgramsOwnTags) {
  StartEngine(1);
  // A different move from an earlier position makes another game.
  ASSERT_TRUE(Import(kLoaded));
  StepBackGameMove();
  Play("g8f6");
  EXPECT_TRUE(HasOwnTags(Pgn())) << Pgn();

  // After ForgetPgnTags even the same moves are the program's game.
  ASSERT_TRUE(Import(kLoaded));
  ForgetPgnTags();
  EXPECT_TRUE(HasOwnTags(Pgn())) << Pgn();
  ASSERT_TRUE(Import(kLoaded));
  NewGame();
  ForgetPgnTags();
  for (const char* move : {"e2e4", "e7e5", "d1h5", "b8c6"}) Play(move);
  EXPECT_TRUE(HasOwnTags(Pgn())) << Pgn();

  // A refused game leaves the loaded one's tags where they were.
  ASSERT_TRUE(Import(kLoaded));
  EXPECT_FALSE(Import("[Event \"other\"]\n1. e4 {never closed"));
  EXPECT_FALSE(Import("[Event \"other\"]\n1. e4 e5 2. Ke3 *"));
  EXPECT_EQ(Pgn(), kWritten);
}

TEST(PgnTags, LongNamesAndManyTags) {
  StartEngine(1);
  const std::string name(255, 'N'), value(300, 'v');
  ASSERT_TRUE(Import("[" + name + " \"" + value + "\"]\n1. e4 *"));
  EXPECT_TRUE(HasLine(Pgn(), "[" + name + " \"" + value.substr(0, 255) + "\"]")) << Pgn();

  std::string tags;
  for (int n = 1; n <= 1000; n++) tags += "[Tag" + std::to_string(n) + " \"" + std::to_string(n) + "\"]\n";
  ASSERT_TRUE(Import(tags + "1. e4 *")) << StorageError();
  const std::string text = Pgn();
  EXPECT_TRUE(HasLine(text, "[Tag1 \"1\"]")) << text.substr(0, 400);
  EXPECT_TRUE(HasLine(text, "[Tag1000 \"1000\"]"));
  EXPECT_LT(text.find("[Tag999 "), text.find("[Tag1000 "));
  EXPECT_FALSE(Import(tags + "[Tag1001 \"1001\"]\n1. e4 *"));
  EXPECT_STREQ(StorageError(), "game 1 has more than 1000 tags");
  EXPECT_EQ(Pgn(), text);
}

}  // namespace
