// Start-up, the welcome dialog, the kept game and shutdown.
#include "game.h"
#include "game_file.h"
#include "position.h"
#include "program_test_util.h"

TEST_F(ProgramTest, FirstRunShowsWelcomeAndOpensCentredWindow) {
  actions.push_back(Press("Korvin 4", "Don't show this message again.", WidgetKind::CheckBox));
  actions.push_back(Press("Korvin 4", "OK"));
  ASSERT_TRUE(StartUp(p));

  // The welcome dialog, fixed, 20 pixels above the centre.
  ASSERT_GE(p.Windows().size(), 2u);
  // It is a dialog of the main window, which opened first.
  const ScriptWindow& welcome = p.Windows()[1];
  EXPECT_EQ(welcome.owner, p.Windows()[0].handle);
  EXPECT_EQ(welcome.title, "Korvin 4");
  EXPECT_EQ(welcome.kind, WindowKind::Fixed);
  EXPECT_EQ(welcome.x, (1920 - 432) / 2);
  EXPECT_EQ(welcome.y, (1080 - 285) / 2);
  EXPECT_EQ(welcome.width, 432);
  EXPECT_EQ(welcome.height, 325);
  EXPECT_TRUE(welcome.destroyed);
  const ScriptWidget* title =
      p.FindWidget(p.FindWidgetByText(welcome.handle, "Welcome to Korvin 4!", WidgetKind::Label));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->x, 25);
  EXPECT_EQ(title->y, 40);
  const ScriptWidget* last = p.FindWidget(p.FindWidgetByText(
      welcome.handle, "loaded due to format changes. The Hash Table size is set to max 100 MB.",
      WidgetKind::Label));
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->y, 190);
  const ScriptWidget* ok = p.FindWidget(p.FindWidgetByText(welcome.handle, "OK", WidgetKind::Button));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->x, 166);
  EXPECT_EQ(ok->y, 270);
  EXPECT_EQ(p.WidgetsOf(welcome.handle).size(), 10u);

  // Then the main window: 400 x 400, centred, resizable, Novice.
  const ScriptWindow* main = p.FindWindow(shell.mainWindow);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->title, "Korvin 4");
  EXPECT_EQ(main->kind, WindowKind::Resizable);
  EXPECT_EQ(main->x, 760);
  EXPECT_EQ(main->y, 340);
  EXPECT_EQ(main->width, 400);
  EXPECT_EQ(main->height, 400);
  EXPECT_EQ(main->minWidth, 160);
  EXPECT_EQ(main->maxWidth, 1080);
  EXPECT_EQ(main->maxHeight, 1080);
  const ScriptWidget* canvas = p.FindWidget(shell.boardCanvas);
  ASSERT_NE(canvas, nullptr);
  EXPECT_TRUE(canvas->anchored);
  EXPECT_EQ(canvas->width, 1920);
  EXPECT_EQ(canvas->height, 1080);
  EXPECT_EQ(p.DrawTarget(), shell.boardCanvas);
  EXPECT_EQ(p.Focus(), shell.boardCanvas);
  EXPECT_EQ(settings.level, 1);
  EXPECT_EQ(shell.squareSize, 50);
  EXPECT_EQ(settings.hideWelcome, 1);
  EXPECT_EQ(LastBoardFrame().calls.size(), 64u + 32u);

  Close();
  EXPECT_TRUE(ended);
  EXPECT_EQ(fs::file_size("korvin.cfg"), 28u);
  EXPECT_FALSE(fs::exists("korvin.kga"));  // no move, no kept game

  // The next run starts without the welcome dialog.
  ScriptPlatform second;
  Prepare(second);
  ASSERT_TRUE(StartUp(second));
  EXPECT_EQ(second.Windows().size(), 1u);
  EXPECT_EQ(settings.hideWelcome, 1);
  EXPECT_TRUE(second.Misuses().empty());
  EXPECT_TRUE(p.Misuses().empty());
}

TEST_F(ProgramTest, ClosingTheWelcomeWindowContinuesStartUp) {
  actions.push_back([this] { p.PushEvent(EventId::WindowClose, p.Windows().back().handle); });
  ASSERT_TRUE(StartUp(p));
  EXPECT_EQ(settings.hideWelcome, 0);
  EXPECT_NE(shell.mainWindow, 0);
  EXPECT_TRUE(p.Windows()[1].destroyed);
}

TEST_F(ProgramTest, RealPicturesLoadAndAMissingOneStopsTheStart) {
  UseRealAssets(p);
  WriteConfig(0, 0, 400, 400, 0, 1, 1);
  ASSERT_TRUE(StartUp(p));
  EXPECT_EQ(p.PictureWidth(shell.resultImages[3]), 315);
  EXPECT_EQ(p.PictureHeight(shell.resultImages[3]), 68);
  EXPECT_GT(p.PictureWidth(shell.pieceImages[14]), 0);
  Close();

  ScriptPlatform second;
  Prepare(second);
  second.SetFakePictureSize(0, 0);
  fs::remove("fig9.png");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunProgram(second), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("fig9.png"), std::string::npos) << err;
  // No main window; a message window named the picture.
  ASSERT_EQ(second.Windows().size(), 1u);
  bool named = false;
  for (const ScriptWidget* w : second.WidgetsOf(second.Windows()[0].handle))
    named = named || w->text.find("fig9.png") != std::string::npos;
  EXPECT_TRUE(named);
}

TEST_F(ProgramTest, KeptGameWithHumanAsBlackReopensTurnedAndWaits) {
  CreateEngine();
  InitKeys();
  ResetGame();
  E.gameFrom[1] = -1;
  ASSERT_TRUE(PlayGameMove(Sq("e2"), Sq("e4")));
  ASSERT_TRUE(PlayGameMove(Sq("e7"), Sq("e5")));
  settings.humanPlaysBlack = 1;
  ASSERT_TRUE(SaveGame("korvin.kga"));
  ResetGame();

  WriteConfig(100, 100, 400, 400, 0, 1, 1);
  settings = Settings{};
  ASSERT_TRUE(StartUp(p));
  Pump();
  EXPECT_EQ(settings.humanPlaysBlack, 1);
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(E.sideToMove, 0);
  // a1 is the first cell drawn: top right when Black is at the bottom.
  const Frame& frame = LastBoardFrame();
  ASSERT_FALSE(frame.calls.empty());
  EXPECT_EQ(frame.calls[0].name, "dark.jpg");
  EXPECT_EQ(frame.calls[0].x, 350);
  EXPECT_EQ(frame.calls[0].y, 0);
  // The last move's ghost: a faint black pawn on e7 (bottom row from Black's side).
  bool ghost = false;
  for (const DrawCall& c : CallsOf(frame, "fig9.png"))
    ghost = ghost || (c.alpha == 0.4 && c.x == 3 * 50 - 1 && c.y == 6 * 50 + 13);
  EXPECT_TRUE(ghost);
}

TEST_F(ProgramTest, ShutdownKeepsTheGameAndTheMovedWindow) {
  StartPlain();
  Move("e2", "e4");
  ASSERT_EQ(E.gameMoveNumber, 2);  // the computer answered
  p.SimulateWindowGeometry(shell.mainWindow, 30, -20, 400, 400);
  Close();
  ASSERT_TRUE(ended);
  const std::vector<int> game = ReadBytes("korvin.kga");
  ASSERT_EQ(game.size(), 14u);
  EXPECT_EQ(game[0], 36);
  EXPECT_EQ(game[1], 56);
  EXPECT_EQ(game[6], 0);
  const std::vector<int> cfg = ReadBytes("korvin.cfg");
  ASSERT_EQ(cfg.size(), 28u);
  EXPECT_EQ(cfg[0], 30);
  EXPECT_EQ(cfg[4], 0xEC);  // -20 as two's complement
  EXPECT_EQ(cfg[7], 0xFF);
  EXPECT_EQ(cfg[8] + 256 * cfg[9], 400);
  EXPECT_EQ(cfg[20], 1);  // level
  EXPECT_EQ(cfg[24], 1);  // hideWelcome
}
