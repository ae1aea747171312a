// Load Game and Save Game with a ".pgn" name: the game goes out and comes
// back as PGN through the same code as korvin-cli, a loaded game is shown at
// its end, and a refused PGN names the reason while the game stays.
#include <fstream>
#include <iterator>

#include "program_test_util.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(ProgramTest, PgnNamesSaveAndLoadPgn) {
  StartPlain();
  Options("Advanced");
  Move("e2", "e4");
  const int reply = E.gameTo[2];
  const std::string path = (dir_ / "mine.PGN").string();
  p.AnswerFileRequest(path);
  Options("Save Game");
  const std::string text = ReadText(path);
  EXPECT_EQ(text.find("[Event \"Korvin 4 game\"]\n"), 0u) << text;
  EXPECT_NE(text.find("[White \"Human\"]\n[Black \"Korvin 4 (Advanced)\"]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n1. e4 "), std::string::npos) << text;
  EXPECT_EQ(text.find("[Date \"????"), std::string::npos) << "the date of saving is known";

  Options("New Game");
  Options("New Game");
  ASSERT_EQ(E.gameMoveNumber, 0);
  const size_t frames = p.Frames().size();
  p.AnswerFileRequest(path);
  Options("Load Game");
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(E.gameTo[2], reply);
  EXPECT_EQ(E.sideToMove, 0);  // shown at its end; the computer does not move
  EXPECT_GT(p.Frames().size(), frames);
  EXPECT_EQ(CountWindows("Korvin 4"), 1);
}

TEST_F(ProgramTest, RefusedPgnShowsTheReasonAndTheGameStays) {
  StartPlain();
  Move("d2", "d4");
  const int reply = E.gameTo[2];
  const std::string path = (dir_ / "bad.pgn").string();
  std::ofstream(path) << "[Event \"x\"]\n1. e4 e5 2. Ke3 *\n";
  p.AnswerFileRequest(path);
  actions.push_back(Press("Options", "Load Game"));
  actions.push_back(Press("Korvin 4", "OK"));
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(E.gameTo[2], reply);
  ASSERT_EQ(CountWindows("Korvin 4"), 2);
  const auto widgets = p.WidgetsOf(p.Windows().back().handle);
  ASSERT_GE(widgets.size(), 2u);
  EXPECT_NE(widgets[0]->text.find("bad.pgn"), std::string::npos) << widgets[0]->text;
  EXPECT_EQ(widgets[1]->text, "Game 1, move 2. Ke3: not a legal move.");

  // A game without moves is not saved as PGN, and the file stays.
  Options("New Game");
  Options("New Game");
  p.AnswerFileRequest(path);
  actions.push_back(Press("Options", "Save Game"));
  actions.push_back(Press("Korvin 4", "OK"));
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  EXPECT_NE(ReadText(path).find("Ke3"), std::string::npos);
}

}  // namespace

namespace {

// A game loaded from PGN is saved with its own tags; after New Game, or a
// Korvin game loaded, the program's own tags are back.
TEST_F(ProgramTest, ALoadedPgnKeepsItsTagsUntilAnotherGame) {
  std::ofstream("master.pgn") << "[Event \"Club final\"]\n[White \"Anna\"]\n[Black \"Ben\"]\n"
                                 "[ECO \"C20\"]\n[Result \"*\"]\n\n1. e4 e5 *\n";
  WriteGame("plain.kga", "e2e4 e7e5");
  StartPlain();
  p.AnswerFileRequest((dir_ / "master.pgn").string());
  Options("Load Game");
  ASSERT_EQ(E.gameMoveNumber, 2);
  p.AnswerFileRequest((dir_ / "again.pgn").string());
  Options("Save Game");
  std::string text = ReadText("again.pgn");
  EXPECT_NE(text.find("[White \"Anna\"]\n[Black \"Ben\"]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[ECO \"C20\"]\n"), std::string::npos) << text;

  // The same moves from a Korvin game: the program's own names.
  p.AnswerFileRequest((dir_ / "plain.kga").string());
  Options("Load Game");
  p.AnswerFileRequest((dir_ / "plain.pgn").string());
  Options("Save Game");
  text = ReadText("plain.pgn");
  EXPECT_EQ(text.find("Anna"), std::string::npos) << text;
  EXPECT_NE(text.find("[White \"Human\"]\n"), std::string::npos) << text;

  // And after New Game, a game that begins with the same moves.
  p.AnswerFileRequest((dir_ / "master.pgn").string());
  Options("Load Game");
  Options("New Game");
  Options("New Game");
  Move("e2", "e4");
  p.AnswerFileRequest((dir_ / "new.pgn").string());
  Options("Save Game");
  EXPECT_EQ(ReadText("new.pgn").find("Anna"), std::string::npos) << ReadText("new.pgn");
}

}  // namespace
