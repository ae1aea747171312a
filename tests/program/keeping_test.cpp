// The kept game is written as it is played: after the user's move (before
// the computer thinks), the computer's move, New Game, Load Game, Change
// Sides and a move that cuts the record. A file that appears in its place
// is moved aside, never overwritten, and the user is told once.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <thread>

#include "atomic_write.h"
#include "program_test_util.h"
#include "requests.h"
#include "start_request.h"
#include "wait_handle.h"

namespace {

// The kept game's half-moves, read whenever the computer's search finishes
// an iteration: what a kill during the computer's thinking would leave.
int keptWhileThinking = -1;

void NoteKeptGame(int, int) {
  std::ifstream in("korvin.kga", std::ios::binary | std::ios::ate);
  keptWhileThinking = in ? static_cast<int>(in.tellg()) / 7 : 0;
}

class KeepingTest : public ProgramTest {
 protected:
  void TearDown() override {
    iterationHook = nullptr;
    ProgramTest::TearDown();
  }
  // The kept game as "e2e4 e7e5 ..." with its orientation byte.
  static std::string Kept(int* orientation = nullptr) {
    const std::vector<int> bytes = ReadBytes("korvin.kga");
    std::string moves;
    for (size_t i = 0; i + 7 <= bytes.size(); i += 7) {
      if (!moves.empty()) moves += " ";
      moves += SquareName(bytes[i]) + SquareName(bytes[i + 1]);
      if (orientation != nullptr) *orientation = bytes[i + 6];
    }
    return moves;
  }
  static std::string Record() {
    std::string moves;
    for (int n = 1; E.gameFrom[n] != -1; n++) {
      if (n > 1) moves += " ";
      moves += SquareName(E.gameFrom[n]);
      moves += SquareName(E.gameTo[n]);
    }
    return moves;
  }
};

TEST_F(KeepingTest, EveryChangeOfTheGameIsWrittenAtOnce) {
  WriteGame("other.kga", "g1f3 d7d5 g2g3");
  StartPlain();
  iterationHook = NoteKeptGame;
  Move("e2", "e4");
  // The user's move was on the disk before the computer thought.
  EXPECT_EQ(keptWhileThinking, 1);
  ASSERT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(Kept(), Record());

  // A move from an earlier position cuts the record, on the disk too.
  Wheel(+1);
  Wheel(+1);
  Move("d2", "d4");
  EXPECT_EQ(Kept().substr(0, 4), "d2d4");
  EXPECT_EQ(Kept(), Record());

  // Change Sides turns the board (the orientation byte) and the computer
  // plays the side to move; both are kept.
  int orientation = -1;
  Options("Change Sides");
  Kept(&orientation);
  EXPECT_EQ(orientation, 1);
  EXPECT_EQ(Kept(), Record());
  EXPECT_EQ(E.gameMoveNumber, 3);

  // New Game: the human plays White again, no move yet, no file.
  Options("New Game");
  EXPECT_EQ(settings.humanPlaysBlack, 0);
  EXPECT_FALSE(fs::exists("korvin.kga"));
  // The next one has the computer open the game as White.
  Options("New Game");
  Kept(&orientation);
  EXPECT_EQ(orientation, 1);
  EXPECT_EQ(Kept(), Record());
  EXPECT_EQ(E.gameMoveNumber, 1);

  // A loaded game is the kept game from then on.
  p.AnswerFileRequest((dir_ / "other.kga").string());
  Options("Load Game");
  EXPECT_EQ(Kept(), "g1f3 d7d5 g2g3");
  EXPECT_TRUE(Messages().empty());
}

// The promotion piece is the one chosen, in the file as on the board.
TEST_F(KeepingTest, APromotionIsKeptWithTheChosenPiece) {
  WriteGame("korvin.kga", "e2e4 d7d5 e4d5 g8f6 d5d6 e7e6 d6c7 f8d6");
  StartPlain();
  actions.push_back(Press("Promotion", "Rook"));
  Move("c7", "b8");
  const std::vector<int> bytes = ReadBytes("korvin.kga");
  ASSERT_GE(bytes.size(), 9u * 7);
  EXPECT_EQ(bytes[8 * 7 + 5], kWhiteRook);
}

// A file put where the kept game is while the program runs is not written
// over: it is moved aside, the user is told once, and the game goes on
// being kept under the usual name.
TEST_F(KeepingTest, AFileCopiedInDuringPlayIsMovedAsideAndTheUserTold) {
  WriteGame("theirs.kga", "c2c4");
  StartPlain();
  Move("e2", "e4");
  fs::remove("korvin.kga");
  fs::copy_file("theirs.kga", "korvin.kga");
  actions.push_back(Press("Korvin 4", "OK"));
  Move("d2", "d4");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("Korvin 4 did not write it. It was kept as"), std::string::npos)
      << Messages()[0];
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator("."))
    if (entry.path().filename().string().rfind("korvin.kga.found-", 0) == 0) found.push_back(entry.path());
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(ReadBytes(found[0].string()), ReadBytes("theirs.kga"));
  EXPECT_NE(Messages()[0].find(found[0].filename().string()), std::string::npos);
  EXPECT_EQ(Kept(), Record());
  // Told once: the next move is kept without a word.
  Move("g1", "f3");
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Kept(), Record());
}

// A failed write is told once, not at every move; once a write succeeds
// again, a new failure is told again.
TEST_F(KeepingTest, AFailedWriteIsToldOnce) {
  StartPlain();
  SetAtomicWriteFailAfter(0);
  actions.push_back(Press("Korvin 4", "OK"));
  Move("e2", "e4");
  Move("d2", "d4");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("Your game could not be saved to"), std::string::npos);
  EXPECT_NE(Messages()[0].find("Cannot write: No space left on device."), std::string::npos);
  SetAtomicWriteFailAfter(-1);
  Move("g1", "f3");
  EXPECT_EQ(Kept(), Record());
  SetAtomicWriteFailAfter(0);
  actions.push_back(Press("Korvin 4", "OK"));
  Move("b1", "c3");
  EXPECT_EQ(Messages().size(), 2u);
  SetAtomicWriteFailAfter(-1);
  Close();
  EXPECT_TRUE(ended);
  EXPECT_EQ(Kept(), Record());
}

#ifndef _WIN32  // the folder is held here as another program would (flock)
// Another program holds the folder: this start touches no file, asks the
// running one to come forward (it cannot here: nothing listens) and says so.
TEST_F(KeepingTest, ASecondStartInTheSameFolderTouchesNoFile) {
  WriteConfig(100, 100, 400, 400, 0, 1, 1);
  WriteGame("korvin.kga", "e2e4 e7e5");
  const int holder = open(".", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(0, flock(holder, LOCK_EX | LOCK_NB));
  const auto before = ReadBytes("korvin.kga");
  const auto config = ReadBytes("korvin.cfg");
  actions.push_back(Press("Korvin 4", "OK"));
  EXPECT_EQ(RunProgram(p), 0);
  close(holder);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].find("Korvin 4 is already running in this folder:\n\"" + dir_.string() + "\".\n"), 0u)
      << Messages()[0];
  EXPECT_EQ(ReadBytes("korvin.kga"), before);
  EXPECT_EQ(ReadBytes("korvin.cfg"), config);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(".")) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"korvin.cfg", "korvin.kga"}));
  // Only the message window was opened: no board, no pictures.
  EXPECT_EQ(p.Windows().size(), 1u);
}
#endif

}  // namespace

namespace {

// Whether the program waits on `handle` for later starts.
bool Watches(const ScriptPlatform& p, WaitHandle handle) {
  for (const ScriptPlatform::Watched& w : p.WatchedHandles())
    if (w.handle == handle && w.tag == kLaterStartTag) return true;
  return false;
}

// A later start in the same folder reaches the running program: its window
// comes forward (with the later start's activation token) and the game file
// it names is loaded as Load Game would; a refused file keeps the game.
TEST_F(KeepingTest, ALaterStartRaisesTheWindowAndOpensItsFile) {
  WriteGame("later.kga", "c2c4 e7e5");
  std::ofstream("bad.pgn") << "1. e4 e5 2. Ke3 *\n";
  StartPlain();
  Move("e2", "e4");
  ASSERT_GE(shell.startListener, 0);
  EXPECT_TRUE(Watches(p, shell.startListener));

  // The later start runs beside the program, as another process would.
  const auto later = [](const std::string& path, RequestSent& sent) {
    return std::thread([path, &sent] {
      std::string error;
      sent = SendStartRequest(StartRequest{path, "token-1"}, 5000, error);
    });
  };
  const auto serve = [this] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!WaitHandleReady(shell.startListener) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(WaitHandleReady(shell.startListener));
    HandleEvent(p.WaitEvent());
  };
  RequestSent sent = RequestSent::NotSent;
  std::thread first = later((dir_ / "later.kga").string(), sent);
  serve();
  first.join();
  EXPECT_EQ(sent, RequestSent::Confirmed);
  const ScriptWindow* main = p.FindWindow(shell.mainWindow);
  EXPECT_EQ(main->raised, 1);
  EXPECT_EQ(main->activationToken, "token-1");
  EXPECT_EQ(Kept(), "c2c4 e7e5");
  EXPECT_EQ(Record(), "c2c4 e7e5");

  actions.push_back(Press("Korvin 4", "OK"));
  std::thread second = later((dir_ / "bad.pgn").string(), sent);
  serve();
  second.join();
  EXPECT_EQ(sent, RequestSent::Confirmed);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("bad.pgn"), std::string::npos) << Messages()[0];
  EXPECT_EQ(Record(), "c2c4 e7e5");
  // The program still listens for the next one.
  EXPECT_TRUE(Watches(p, shell.startListener));

#ifdef _WIN32
  // A name with letters beyond ASCII, a dash and spaces arrives whole (a
  // line break or a backslash cannot be in a Windows file name).
  const std::string odd = dir_.string() + "\\\xC3\x9C" "bung \xE2\x80\x93 zwei.kga";
#else
  // A name with a line break and a backslash in it arrives whole.
  const std::string odd = (dir_ / "two\nlines \\ game.kga").string();
#endif
  WriteGame(odd, "d2d4 d7d5");
  std::thread third = later(odd, sent);
  serve();
  third.join();
  EXPECT_EQ(sent, RequestSent::Confirmed);
  EXPECT_EQ(Record(), "d2d4 d7d5");
  EXPECT_EQ(Messages().size(), 1u);
}

}  // namespace

namespace {

// The computer was killed while it thought: its side is to move in the kept
// game. At the next start it moves once the board is up, as it would have;
// a kept game at the user's turn, and a game file handed over at the start
// with the computer to move, wait for the user.
TEST_F(KeepingTest, AKeptGameStoppedAtTheComputersTurnGoesOn) {
  WriteConfig(100, 100, 400, 400, 0, 1, 1);
  WriteGame("korvin.kga", "e2e4");
  EXPECT_EQ(RunProgram(p), 0);  // the script runs out: the session ends
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(Kept(), Record());
  EXPECT_EQ(Kept().substr(0, 5), "e2e4 ");
  EXPECT_EQ(p.BusyChanges(), (std::vector<bool>{true, false, false}));  // thought once, then ended
}

TEST_F(KeepingTest, AKeptGameAtTheUsersTurnAndAGameHandedOverWait) {
  WriteConfig(100, 100, 400, 400, 1, 1, 1);  // the user plays Black
  WriteGame("korvin.kga", "e2e4", 1);
  EXPECT_EQ(RunProgram(p), 0);
  EXPECT_EQ(Kept(), "e2e4");
  EXPECT_EQ(p.BusyChanges(), std::vector<bool>{false});

  ScriptPlatform second;
  Prepare(second);
  WriteGame("handed.kga", "d2d4", 0);  // Black, the computer's side here, to move
  WriteConfig(100, 100, 400, 400, 0, 1, 1);
  WriteGame("korvin.kga", "e2e4");
  EXPECT_EQ(RunProgram(second, (dir_ / "handed.kga").string()), 0);
  EXPECT_EQ(Kept(), "d2d4");
  EXPECT_EQ(second.BusyChanges(), std::vector<bool>{false});  // never thought
}

// Knight moves out and back: a game as long as one likes that never ends.
std::string KnightShuffle(int halfMoves) {
  static const char* const kCycle[4] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  std::string moves;
  for (int n = 0; n < halfMoves; n++) moves += std::string(n ? " " : "") + kCycle[n % 4];
  return moves;
}

// At the record's limit the game stops with a word: the move that fills it
// is kept and the user is told that no more can be played and what to do;
// a later attempt is told again, not swallowed.
TEST_F(KeepingTest, AtTheRecordsLimitTheUserIsTold) {
  WriteGame("korvin.kga", KnightShuffle(998));
  StartPlain();
  ASSERT_EQ(E.gameMoveNumber, 998);
  actions.push_back(Press("Korvin 4", "OK"));
  Move("f3", "g1");  // the 999th half-move: the draw banner, then the word
  EXPECT_EQ(E.gameMoveNumber, 999);
  EXPECT_EQ(ReadBytes("korvin.kga").size(), 999u * 7);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].find("This game has reached 999 half-moves"), 0u) << Messages()[0];
  EXPECT_NE(Messages()[0].find("New Game"), std::string::npos);
  EXPECT_NE(Messages()[0].find("Save Game"), std::string::npos);
  actions.push_back(Press("Korvin 4", "OK"));
  Move("f6", "g8");  // Black to move: the user may move for it, but there is no room
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_EQ(E.gameMoveNumber, 999);
  EXPECT_EQ(Kept(), Record());
  // New Game plays on.
  Options("New Game");
  EXPECT_EQ(E.gameMoveNumber, 1);  // the computer, White now, has moved
}

}  // namespace
