#include "board_view.h"
#include "config_file.h"
#include "dialogs.h"
#include "engine_state.h"
#include "game_file.h"
#include "move_input.h"
#include "program.h"
#include "search.h"
#include "shell_state.h"
#include "think.h"

void ApplySquareWindowRule() {
  Platform& p = *shell.platform;
  const int w = p.WindowWidth(shell.mainWindow), h = p.WindowHeight(shell.mainWindow);
  int n;
  if (w == settings.windowWidth && h != settings.windowHeight)
    n = h;  // only the height was dragged
  else if (w != settings.windowWidth && h == settings.windowHeight)
    n = w;  // only the width was dragged
  else
    n = w < h ? w : h;
  // Within the window's limits, so the stored size is one the window can take.
  const int largest = p.DesktopWidth() < p.DesktopHeight() ? p.DesktopWidth() : p.DesktopHeight();
  if (n > largest) n = largest;
  if (n < 160) n = 160;
  n = n / 8 * 8;
  settings.windowWidth = settings.windowHeight = n;
  shell.squareSize = n / 8;
  p.SetWindowShape(shell.mainWindow, p.WindowX(shell.mainWindow), p.WindowY(shell.mainWindow), n, n);
}

void ShutDown() {
  SaveGame("korvin.kga");
  SaveConfig("korvin.cfg");
  searchPollHook = nullptr;
  refreshBoardHook = nullptr;
  showResultHook = nullptr;
  SetWindowGeometrySource(nullptr);
  shell.platform->DestroyWindow(shell.mainWindow);
  shell.mainWindow = shell.boardCanvas = 0;
}

bool HandleEvent(const Event& event) {
  switch (event.id) {
    case EventId::WindowClose:
    case EventId::AppTerminate:
      ShutDown();
      return false;
    case EventId::WindowSize:
      ApplySquareWindowRule();
      break;
    case EventId::GadgetPaint:
      DrawBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], shell.selectedFrom);
      break;
    case EventId::MouseDown:
      if (event.data == 1) LeftClick();
      if (event.data == 2) ShowOptions();
      if (event.data == 3) MiddleClick();
      break;
    case EventId::MouseWheel:
      WheelTurn(event.data);
      break;
    default:
      break;
  }
  if (shell.selectedFrom != 0 && shell.selectedTo != 0) {
    TryUserMove(shell.selectedFrom, shell.selectedTo);
    ClearSelection();
  }
  return true;
}

void RunEventLoop() {
  while (HandleEvent(shell.platform->WaitEvent())) {
  }
}
