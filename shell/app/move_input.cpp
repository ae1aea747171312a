#include "move_input.h"

#include "board_view.h"
#include "engine_state.h"
#include "game.h"
#include "keep_game.h"
#include "shell_state.h"
#include "think.h"
#include "window_placement.h"

int SquareAtPoint(int x, int y) {
  const int size = shell.squareSize;
  x -= shell.boardLeft;
  y -= shell.boardTop;
  if (size <= 0 || x < 0 || y < 0 || x >= 8 * size || y >= 8 * size) return 0;
  if (settings.humanPlaysBlack == 0) return 10 * (7 - y / size) + x / size + 22;
  return 10 * (y / size) + (7 - x / size) + 22;
}

void LeftClick() {
  Platform& p = *shell.platform;
  shell.clickCount += 1;
  const int square = SquareAtPoint(p.PointerX(shell.boardCanvas), p.PointerY(shell.boardCanvas));
  const int lastFrom = E.gameFrom[E.gameMoveNumber], lastTo = E.gameTo[E.gameMoveNumber];
  if (shell.clickCount == 1) {
    shell.selectedFrom = square;
    DrawBoard(lastFrom, lastTo, shell.selectedFrom);
  }
  if (shell.clickCount == 2) {
    shell.selectedTo = square;
    // A second click beside the board cancels the selection, as a click on
    // the same square does.
    if (square == 0) shell.selectedFrom = 0;
  }
  if (shell.selectedFrom == shell.selectedTo ||
      (shell.selectedFrom != 0 && shell.selectedTo != 0))
    shell.clickCount = 0;
  if (shell.selectedFrom == shell.selectedTo) {
    shell.selectedFrom = shell.selectedTo = 0;
    DrawBoard(lastFrom, lastTo, 0);
  }
  if (shell.selectedFrom != 0 && shell.selectedTo != 0) DrawBoard(lastFrom, lastTo, 0);
}

// The legality test plays and takes back the move with the game number
// unchanged, so the key history stays exact and repetitions after the
// user's moves are counted right.
void TryUserMove(int from, int to) {
  if (!IsLegalMove(from, to) || !PlayGameMove(from, to)) {
    ClearSelection();
    return;
  }
  RefreshBoard(0, 0, 0);
  const int queen = E.gamePromotion[E.gameMoveNumber];
  if (queen == kWhiteQueen) SetPromotion(AskPromotion());
  if (queen == kBlackQueen) SetPromotion(AskPromotion() + 8);
  KeepGameNow();
  CheckDrawAnnouncements();
  ThinkAndMove();
  ClearSelection();
}

int AskPromotion() {
  Platform& p = *shell.platform;
  const int x = p.WindowX(shell.mainWindow), y = p.WindowY(shell.mainWindow);
  const int w = p.WindowWidth(shell.mainWindow), h = p.WindowHeight(shell.mainWindow);
  int left = x + (w - 480) / 2, top = y + (h - 54) / 2;
  PlaceWindow(p, shell.mainWindow, left, top, 480, 54);
  const Handle window =
      p.OpenWindow("Promotion", left, top, 480, 54, WindowKind::Fixed, shell.mainWindow);
  static const char* const kNames[4] = {"Queen", "Rook", "Bishop", "Knight"};
  Handle buttons[4];
  for (int k = 0; k < 4; k++) buttons[k] = p.AddButton(window, 25 + 110 * k, 15, 100, 25, kNames[k]);
  int code = 0;
  // There is no way out without a choice: everything else is ignored, but a
  // request to end the program picks the queen, so that the game is saved
  // with a legal, recorded move.
  while (code == 0) {
    const Event event = p.WaitEvent();
    if (TakeOutsideRequest(event)) code = kWhiteQueen;
    if (event.id != EventId::GadgetAction) continue;
    for (int k = 0; k < 4; k++)
      if (event.source == buttons[k]) code = 6 - (k + 1);
  }
  p.DestroyWindow(window);
  RestoreBoardTarget();
  return code;
}

void WheelTurn(int notches) {
  if (notches == 1 && StepBackGameMove())
    RefreshBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], 0);
  if (notches == -1 && StepForwardGameMove())
    RefreshBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], 0);
}

void MiddleClick() {
  if (E.gameMoveNumber > 0) {
    while (StepBackGameMove()) {
    }
    E.mateThreshold = kMateBound;
    RefreshBoard(0, 0, 0);
  } else if (E.gameFrom[1] != -1) {
    const int threshold = E.mateThreshold;  // the jump to the end keeps it
    while (StepForwardGameMove()) {
    }
    E.mateThreshold = threshold;
    RefreshBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], 0);
  }
}
