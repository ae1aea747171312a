// The "Options" dialog and its commands.
#include "program_test_util.h"

TEST_F(ProgramTest, OptionsLayoutAndClosingChangesNothing) {
  StartPlain();
  Move("e2", "e4");
  Click(Sq("d2"));  // a pending first click
  actions.push_back([this] { p.PushEvent(EventId::WindowClose, p.FindWindowByTitle("Options")->handle); });
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  const ScriptWindow* dialog = p.FindWindowByTitle("Options");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->kind, WindowKind::Fixed);
  EXPECT_EQ(dialog->x, 100 + (400 - 480) / 2);
  EXPECT_EQ(dialog->y, 100 + (400 - 330) / 2);
  EXPECT_EQ(dialog->width, 480);
  EXPECT_EQ(dialog->height, 330);
  EXPECT_TRUE(dialog->destroyed);
  struct Expected {
    const char* text;
    int x, y;
  };
  for (const Expected& e : {Expected{"New Game", 25, 25}, Expected{"Load Game", 135, 25},
                            Expected{"Save Game", 245, 25}, Expected{"Change Sides", 355, 25},
                            Expected{"Novice", 25, 74}, Expected{"Intermediate", 135, 74},
                            Expected{"Advanced", 245, 74}, Expected{"Expert", 355, 74}}) {
    const ScriptWidget* b = p.FindWidget(p.FindWidgetByText(dialog->handle, e.text, WidgetKind::Button));
    ASSERT_NE(b, nullptr) << e.text;
    EXPECT_EQ(b->x, e.x) << e.text;
    EXPECT_EQ(b->y, e.y) << e.text;
    EXPECT_EQ(b->width, 100);
    EXPECT_EQ(b->height, 25);
    EXPECT_EQ(b->coloured, std::string(e.text) == "Novice") << e.text;
  }
  const ScriptWidget* novice =
      p.FindWidget(p.FindWidgetByText(dialog->handle, "Novice", WidgetKind::Button));
  EXPECT_EQ(novice->red + novice->green + novice->blue, 3 * 255);
  const ScriptWidget* info =
      p.FindWidget(p.FindWidgetByText(dialog->handle, "      Korvin 4.01", WidgetKind::Label));
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->labelKind, LabelKind::Sunken);
  EXPECT_EQ(info->x, 25);
  EXPECT_EQ(info->y, 130);
  EXPECT_EQ(info->width, 430);
  int separators = 0;
  Handle canvas = 0;
  for (const ScriptWidget* w : p.WidgetsOf(dialog->handle)) {
    separators += w->kind == WidgetKind::Label && w->labelKind == LabelKind::Separator;
    if (w->kind == WidgetKind::Canvas) {
      canvas = w->handle;
      EXPECT_EQ(w->x, 80);
      EXPECT_EQ(w->y, 180);
      EXPECT_EQ(w->width, 320);
      EXPECT_EQ(w->height, 120);
    }
  }
  EXPECT_EQ(separators, 1);
  bool picture = false;
  for (const Frame& f : p.Frames())
    for (const DrawCall& c : f.calls) picture = picture || (f.canvas == canvas && c.name == "chess.jpg");
  EXPECT_TRUE(picture);

  EXPECT_EQ(settings.level, 1);
  EXPECT_EQ(settings.humanPlaysBlack, 0);
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(p.DrawTarget(), shell.boardCanvas);
  EXPECT_EQ(p.Focus(), shell.boardCanvas);
  // The pending first click survived: the second click plays.
  Click(Sq("d4"));
  EXPECT_EQ(E.gameMoveNumber, 4);
}

TEST_F(ProgramTest, NewGameSwapsSidesAndTheComputerOpensAsWhite) {
  StartPlain();
  Move("e2", "e4");
  Options("New Game");
  EXPECT_EQ(settings.humanPlaysBlack, 1);
  EXPECT_EQ(E.gameMoveNumber, 1);  // the computer played White's first move
  EXPECT_EQ(E.sideToMove, 1);
  EXPECT_EQ(E.gameFrom[2], -1);
  EXPECT_EQ(LastBoardFrame().calls.at(0).x, 350);  // a1 at the top right
  Options("New Game");
  EXPECT_EQ(settings.humanPlaysBlack, 0);
  EXPECT_EQ(E.gameMoveNumber, 0);
  EXPECT_EQ(E.gameFrom[1], -1);
  EXPECT_EQ(E.castleRights, 15);
}

TEST_F(ProgramTest, ChangeSidesMakesTheComputerMoveEachTime) {
  StartPlain();
  Click(Sq("e2"));  // dropped once the computer plays
  Options("Change Sides");
  EXPECT_EQ(settings.humanPlaysBlack, 1);
  EXPECT_EQ(E.gameMoveNumber, 1);
  EXPECT_EQ(shell.clickCount, 0);
  EXPECT_EQ(shell.selectedFrom, 0);
  Options("Change Sides");
  EXPECT_EQ(settings.humanPlaysBlack, 0);
  EXPECT_EQ(E.gameMoveNumber, 2);
}

TEST_F(ProgramTest, ChosenLevelIsMarkedOnReopening) {
  StartPlain();
  Options("Expert");
  EXPECT_EQ(settings.level, 4);
  EXPECT_EQ(E.gameMoveNumber, 0);
  Options("Novice");
  EXPECT_EQ(settings.level, 1);
  // The second dialog marked Expert and nothing else.
  const ScriptWindow* dialog = p.FindWindowByTitle("Options");
  for (const ScriptWidget* w : p.WidgetsOf(dialog->handle)) {
    if (w->kind == WidgetKind::Button) {
      EXPECT_EQ(w->coloured, w->text == "Expert") << w->text;
    }
  }
}

TEST_F(ProgramTest, LoadAndSaveThroughTheRequester) {
  StartPlain();
  Move("e2", "e4");
  // Cancelled: the game stays, nothing is shown.
  p.AnswerFileRequest("");
  const size_t frames = p.Frames().size();
  Options("Load Game");
  ASSERT_EQ(p.FileRequests().size(), 1u);
  EXPECT_EQ(p.FileRequests()[0].title, "Load File");
  // Both kinds together first, so that no game file is hidden, then each.
  ASSERT_EQ(p.FileRequests()[0].filters.size(), 3u);
  EXPECT_EQ(p.FileRequests()[0].filters[0].name, "Games");
  EXPECT_EQ(p.FileRequests()[0].filters[0].extension, "kga pgn");
  EXPECT_EQ(p.FileRequests()[0].filters[1].name, "Korvin game");
  EXPECT_EQ(p.FileRequests()[0].filters[1].extension, "kga");
  EXPECT_EQ(p.FileRequests()[0].filters[2].name, "PGN");
  EXPECT_EQ(p.FileRequests()[0].filters[2].extension, "pgn");
  EXPECT_EQ(p.FileRequests()[0].owner, shell.mainWindow);
  EXPECT_FALSE(p.FileRequests()[0].save);
  EXPECT_EQ(p.FileRequests()[0].initialPath, "");  // the platform chooses the folder
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_GT(p.Frames().size(), frames);  // redrawn
  EXPECT_EQ(CountWindows("Korvin 4"), 1);

  // Saved, then loaded back after a new game.
  const std::string saved = (dir_ / "mine.kga").string();
  p.AnswerFileRequest(saved);
  Options("Save Game");
  EXPECT_EQ(p.FileRequests()[1].title, "Save File");
  EXPECT_TRUE(p.FileRequests()[1].save);
  EXPECT_EQ(fs::file_size(saved), 14u);
  const int reply = E.gameTo[2];
  Options("New Game");
  Options("New Game");
  ASSERT_EQ(E.gameMoveNumber, 0);
  p.AnswerFileRequest(saved);
  Options("Load Game");
  EXPECT_EQ(E.gameMoveNumber, 2);
  EXPECT_EQ(E.gameTo[2], reply);
  EXPECT_EQ(E.sideToMove, 0);

  // A game without moves is not saved: no requester, the file stays, and a
  // message says so.
  Options("New Game");
  Options("New Game");
  const std::vector<int> before = ReadBytes(saved);
  actions.push_back(Press("Options", "Save Game"));
  actions.push_back(Press("Korvin 4", "OK"));
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  EXPECT_EQ(p.FileRequests().size(), 3u);
  EXPECT_EQ(ReadBytes(saved), before);
  ASSERT_EQ(CountWindows("Korvin 4"), 2);
  EXPECT_EQ(p.WidgetsOf(p.Windows().back().handle)[0]->text,
            "The game has no moves yet: there is nothing to save.");
}

TEST_F(ProgramTest, FailedExplicitLoadOrSaveNamesTheFileAndTheReason) {
  StartPlain();
  Move("e2", "e4");
  WriteBytes("broken.kga", {36, 56, 7});  // ends inside a record
  const std::string broken = (dir_ / "broken.kga").string();
  p.AnswerFileRequest(broken);
  actions.push_back(Press("Options", "Load Game"));
  actions.push_back(Press("Korvin 4", "OK"));
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  EXPECT_EQ(E.gameMoveNumber, 2);  // the game stays
  ASSERT_EQ(CountWindows("Korvin 4"), 2);
  const ScriptWindow& message = p.Windows().back();
  EXPECT_EQ(message.title, "Korvin 4");
  EXPECT_TRUE(message.destroyed);
  const auto widgets = p.WidgetsOf(message.handle);
  ASSERT_GE(widgets.size(), 3u);
  EXPECT_NE(widgets[0]->text.find("broken.kga"), std::string::npos) << widgets[0]->text;
  EXPECT_FALSE(widgets[1]->text.empty());
  EXPECT_EQ(p.DrawTarget(), shell.boardCanvas);

  p.AnswerFileRequest((dir_ / "no-such-folder" / "x.kga").string());
  actions.push_back(Press("Options", "Save Game"));
  actions.push_back([this] { p.PushEvent(EventId::WindowClose, p.Windows().back().handle); });
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  ASSERT_EQ(CountWindows("Korvin 4"), 3);
  EXPECT_NE(p.WidgetsOf(p.Windows().back().handle)[0]->text.find("x.kga"), std::string::npos);
  EXPECT_EQ(E.gameMoveNumber, 2);
}
