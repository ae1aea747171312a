// Closing the window or ending the session always ends the program at once
// and saves: while the computer thinks, and in every modal window.
#include "program_test_util.h"

namespace {

// The two requests that end the program.
struct Request {
  const char* name;
  bool terminate;  // AppTerminate, else a close request of the main window
};
const Request kRequests[] = {{"WindowClose", false}, {"AppTerminate", true}};
void PrintTo(const Request& request, std::ostream* out) { *out << request.name; }

class CloseRequest : public ProgramTest, public testing::WithParamInterface<Request> {
 protected:
  void Send() {
    if (GetParam().terminate)
      p.PushEvent(EventId::AppTerminate);
    else
      p.PushEvent(EventId::WindowClose, shell.mainWindow);
  }
  std::function<void()> SendAction() {
    return [this] { Send(); };
  }
  // Knights out and back twice, then the human's Nf3 brings the third
  // occurrence of a position: the draw banner. The computer's reply follows.
  void BannerCase(bool duringSleep) {
    WriteGame("korvin.kga", "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8");
    StartPlain();
    Click(Sq("g1"));
    int x, y;
    PointAt(Sq("f3"), x, y);
    p.SetPointer(shell.boardCanvas, x, y);
    p.PushEvent(EventId::MouseDown, shell.boardCanvas, 1);
    if (duringSleep)
      p.SetSleepHandler([this](ScriptPlatform&) { Send(); });
    else
      Send();
    Pump();
    ASSERT_TRUE(ended);
    ASSERT_EQ(CountWindows(""), 1);
    EXPECT_TRUE(p.FindWindowByTitle("")->destroyed);
    EXPECT_EQ(p.Sleeps().size(), duringSleep ? 1u : 0u);
    EXPECT_EQ(E.gameMoveNumber, 10);
    EXPECT_EQ(ReadBytes("korvin.kga").size(), 70u);
  }
  // The kept game on disk: the moves as text.
  static std::string KeptMoves() {
    const std::vector<int> bytes = ReadBytes("korvin.kga");
    std::string moves;
    for (size_t i = 0; i + 7 <= bytes.size(); i += 7)
      moves += SquareName(bytes[i]) + SquareName(bytes[i + 1]) + " ";
    return moves;
  }
};

// At Expert the computer would think for ten seconds. The request is taken by
// the search's poll, which ends the search as a time-out does: the reply is
// played and saved with the human's move. Clicks and wheel turns made while
// it thinks are dropped.
TEST_P(CloseRequest, WhileTheComputerThinksEndsTheSearchAndSaves) {
  WriteConfig(100, 100, 400, 400, 0, 4, 1);
  ASSERT_TRUE(StartUp(p));
  Click(Sq("e2"));
  int x, y;
  PointAt(Sq("e4"), x, y);
  p.SetPointer(shell.boardCanvas, x, y);
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 1);
  p.PushEvent(EventId::MouseWheel, shell.boardCanvas, 1);
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 1);
  Send();
  Pump();
  ASSERT_TRUE(ended);
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(E.gameFrom[3], -1);
  EXPECT_EQ(KeptMoves(), "e2e4 " + SquareName(E.gameFrom[2]) + SquareName(E.gameTo[2]) + " ");
  EXPECT_EQ(ReadBytes("korvin.cfg")[20], 4);
  EXPECT_TRUE(p.FindWindow(p.Windows().back().handle)->destroyed);
  EXPECT_EQ(shell.exitStatus, 0);
}

// "Options" closes as its close button would, and the program ends.
TEST_P(CloseRequest, DuringOptionsEndsTheProgram) {
  StartPlain();
  Move("e2", "e4");
  actions.push_back(SendAction());
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  ASSERT_TRUE(ended);
  EXPECT_TRUE(p.FindWindowByTitle("Options")->destroyed);
  EXPECT_EQ(ReadBytes("korvin.kga").size(), 14u);
}

// "Promotion" cannot be closed without a choice; a request to end the
// program picks the queen, the computer still replies at once, and the
// game saved is legal and complete.
TEST_P(CloseRequest, DuringPromotionPicksTheQueenAndSaves) {
  WriteGame("korvin.kga", "a2a4 h7h5 a4a5 h5h4 a5a6 h4h3 a6b7 h3g2");
  StartPlain();
  actions.push_back(SendAction());
  Move("b7", "a8");
  ASSERT_TRUE(ended);
  EXPECT_TRUE(p.FindWindowByTitle("Promotion")->destroyed);
  EXPECT_EQ(E.gameMoveNumber, 10);
  EXPECT_EQ(E.gamePromotion[9], kWhiteQueen);
  const std::vector<int> bytes = ReadBytes("korvin.kga");
  ASSERT_EQ(bytes.size(), 70u);
  EXPECT_EQ(bytes[8 * 7 + 5], kWhiteQueen);
  StartEngine(2);
  ASSERT_TRUE(LoadGame("korvin.kga")) << StorageError();
  EXPECT_EQ(E.gameMoveNumber, 10);
}

// The draw banner after the human's move goes down at once, whether the
// request comes before the banner is shown or during its three seconds.
TEST_P(CloseRequest, BeforeTheResultBannerIsShownEndsItAtOnce) { BannerCase(false); }
TEST_P(CloseRequest, WhileTheResultBannerStandsEndsItAtOnce) { BannerCase(true); }

// A message window closes, and the program ends without a further word.
TEST_P(CloseRequest, DuringAMessageEndsTheProgram) {
  StartPlain();
  Move("e2", "e4");
  p.AnswerFileRequest((dir_ / "missing.kga").string());
  actions.push_back(Press("Options", "Load Game"));
  actions.push_back(SendAction());
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  ASSERT_TRUE(ended);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(ReadBytes("korvin.kga").size(), 14u);
}

INSTANTIATE_TEST_SUITE_P(Requests, CloseRequest, testing::ValuesIn(kRequests),
                         [](const auto& test) { return std::string(test.param.name); });

// The session ends during the welcome dialog, before the kept game is read:
// the kept game is neither written, nor deleted, nor moved aside (even a
// damaged one). The settings are kept.
TEST_F(ProgramTest, EndOfSessionDuringTheWelcomeDialogLeavesTheKeptGameAlone) {
  WriteBytes("korvin.kga", {36, 56, 7});
  WriteConfig(5, 6, 400, 400, 0, 2, 0);
  actions.push_back(Press("Korvin 4", "Don't show this message again.", WidgetKind::CheckBox));
  actions.push_back([this] { p.PushEvent(EventId::AppTerminate); });
  EXPECT_EQ(RunProgram(p), 0);
  EXPECT_EQ(ReadBytes("korvin.kga"), (std::vector<int>{36, 56, 7}));
  EXPECT_EQ(p.Windows().size(), 2u);  // the board and its welcome dialog
  for (const ScriptWindow& w : p.Windows()) EXPECT_TRUE(w.destroyed) << w.title;
  const std::vector<int> cfg = ReadBytes("korvin.cfg");
  ASSERT_EQ(cfg.size(), 28u);
  EXPECT_EQ(cfg[0], 5);
  EXPECT_EQ(cfg[20], 2);
  EXPECT_EQ(cfg[24], 1);
}

// The "Load File" requester is cancelled by the end of the session (the
// main window cannot be closed while it is open).
TEST_F(ProgramTest, EndOfSessionDuringTheFileRequesterEndsTheProgram) {
  StartPlain();
  Move("e2", "e4");
  p.TerminateDuringNextFileRequest();
  Options("Load Game");
  ASSERT_TRUE(ended);
  EXPECT_EQ(p.FileRequests().size(), 1u);
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(ReadBytes("korvin.kga").size(), 14u);
}

// A close request that comes while the Load requester is open behind a flood
// of other events (a thousand repaints, the queue full of wheel turns, so
// that the request itself finds no room) still ends the requester, and the
// program, which saves, once the events before it are handled.
TEST_F(ProgramTest, ACloseRequestBehindAFullQueueIsNotLost) {
  StartPlain();
  Move("e2", "e4");
  p.SetRequesterHandler([this](ScriptPlatform& platform) {
    for (int i = 0; i < 1000; i++) platform.PushEvent(EventId::GadgetPaint, shell.boardCanvas);
    for (int i = 0; i < 300; i++) platform.PushEvent(EventId::MouseWheel, shell.boardCanvas, 1);
    EXPECT_EQ(platform.QueuedEvents(), EventQueue::kCapacity);
    EXPECT_TRUE(platform.PushEvent(EventId::WindowClose, shell.mainWindow));  // behind them
  });
  Options("Load Game");
  ASSERT_TRUE(ended);
  EXPECT_EQ(p.FileRequests().size(), 1u);
  EXPECT_EQ(E.gameMoveNumber, 0);  // the wheel turns before the request stepped back
  EXPECT_EQ(ReadBytes("korvin.kga").size(), 14u);  // the whole game
  EXPECT_EQ(ReadBytes("korvin.cfg").size(), 28u);
}

// The desktop session ends (log-off): the game and the settings are written
// at once, inside the platform's call, before the session may end the
// process; the program then ends as usual.
TEST_F(ProgramTest, TheEndOfTheSessionSavesAtOnce) {
  StartPlain();
  Move("e2", "e4");
  fs::remove("korvin.cfg");  // written only at the end
  p.EndSession();
  EXPECT_EQ(ReadBytes("korvin.cfg").size(), 28u);
  EXPECT_EQ(ReadBytes("korvin.kga").size(), 14u);
  EXPECT_FALSE(ended);
  Pump();
  EXPECT_TRUE(ended);
}

// A close request of a dialog that is already gone is no request to quit.
TEST_F(ProgramTest, LateCloseOfADialogIsIgnored) {
  StartPlain();
  actions.push_back([this] {
    const Handle options = p.FindWindowByTitle("Options")->handle;
    p.PushEvent(EventId::WindowClose, options);
    p.PushEvent(EventId::WindowClose, options);
  });
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  EXPECT_FALSE(ended);
  Move("e2", "e4");
  EXPECT_EQ(E.gameMoveNumber, 2);
}

}  // namespace
