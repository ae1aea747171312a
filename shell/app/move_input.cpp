#include "move_input.h"

#include "board_view.h"
#include "config_file.h"
#include "engine_state.h"
#include "game.h"
#include "keep_game.h"
#include "message_window.h"
#include "shell_state.h"
#include "think.h"
#include "dialog.h"
#include "texts.h"

int SquareAtPoint(int x, int y) {
  const int size = shell.squareSize;
  x -= shell.boardLeft;
  y -= shell.boardTop;
  if (size <= 0 || x < 0 || y < 0 || x >= 8 * size || y >= 8 * size) return 0;
  if (settings.humanPlaysBlack == 0) return 10 * (7 - y / size) + x / size + 22;
  return 10 * (y / size) + (7 - x / size) + 22;
}

namespace {

// Pixels the pointer travels with the button down before the piece is
// carried: a shaky click stays a click.
constexpr int kDragStart = 4;

// True for a piece of the side to move.
bool OwnPiece(int square) {
  const int piece = square > 0 ? E.board[square] : kEmpty;
  return E.sideToMove == 0 ? piece >= kWhitePawn && piece <= kWhiteKing
                           : piece >= kBlackPawn && piece <= kBlackKing;
}

void DrawWithSelection(int selected) {
  DrawBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], selected);
}

bool RecordFull() { return E.gameMoveNumber >= kMaxGameMoves; }

}  // namespace

// A first click selects only a piece of the side to move; with a piece
// selected, another piece of the side to move takes the selection, the
// selected square (or a click beside the board) cancels it, and any other
// square is the destination. A press on a piece may start a drag.
void LeftPress() {
  Platform& p = *shell.platform;
  const int x = p.PointerX(shell.boardCanvas), y = p.PointerY(shell.boardCanvas);
  const int square = SquareAtPoint(x, y);
  shell.pressSquare = 0;
  shell.carrying = false;
  if (shell.clickCount == 0 || shell.selectedFrom == 0) {
    if (!OwnPiece(square)) return;
    shell.clickCount = 1;
    shell.selectedFrom = square;
  } else if (square == shell.selectedFrom || square == 0) {
    ClearSelection();
  } else if (OwnPiece(square)) {
    shell.selectedFrom = square;
  } else {
    shell.selectedTo = square;  // the attempt follows in the main loop
    shell.clickCount = 0;
    DrawWithSelection(0);
    return;
  }
  if (OwnPiece(square)) {
    shell.pressSquare = square;
    shell.pressX = x;
    shell.pressY = y;
  }
  DrawWithSelection(shell.selectedFrom);
}

// The pointer moved with the button down: once it has left the press point,
// the piece follows it, its own square drawn as selected.
void PointerMoved() {
  if (shell.pressSquare == 0) return;
  Platform& p = *shell.platform;
  const int x = p.PointerX(shell.boardCanvas), y = p.PointerY(shell.boardCanvas);
  const int dx = x - shell.pressX, dy = y - shell.pressY;
  if (!shell.carrying && dx * dx + dy * dy < kDragStart * kDragStart) return;
  shell.carrying = true;
  shell.carryX = x;
  shell.carryY = y;
  shell.clickCount = 1;
  shell.selectedFrom = shell.pressSquare;
  shell.selectedTo = 0;
  DrawWithSelection(shell.selectedFrom);
}

// A carried piece dropped on another square of the board is the move the
// two clicks would make; dropped on its own square or beside the board it
// goes back and stays selected.
void LeftRelease() {
  const bool carried = shell.carrying;
  const int origin = shell.pressSquare;
  shell.pressSquare = 0;
  shell.carrying = false;
  if (!carried) return;
  Platform& p = *shell.platform;
  const int square = SquareAtPoint(p.PointerX(shell.boardCanvas), p.PointerY(shell.boardCanvas));
  if (square != 0 && square != origin) {
    shell.selectedFrom = origin;
    shell.selectedTo = square;  // the attempt follows in the main loop
    shell.clickCount = 0;
    DrawWithSelection(0);
    return;
  }
  shell.clickCount = 1;
  shell.selectedFrom = origin;
  DrawWithSelection(origin);
}

void ComputerTurn() {
  shell.platform->SetBusy(true);
  ThinkAndMove(settings.level);
  shell.platform->SetBusy(false);
  if (RecordFull()) TellRecordFull();
}

void ResumeComputerTurn() {
  if (RecordFull()) {
    TellRecordFull();
    return;
  }
  if (!SideToMoveHasMove()) return;
  ComputerTurn();
  ClearSelection();
}

void TellRecordFull() {
  if (shell.quitRequested || !SideToMoveHasMove()) return;
  ShowMessage(Lines(Fill(Tr("This game has reached %1 half-moves, the most a game file can hold,\n"
                            "so no more moves can be played in it. All its moves are kept.\n"
                            "Right-click the board for Options: New Game to play on,\n"
                            "or Save Game to keep this game in a file of its own."),
                         {std::to_string(kMaxGameMoves)})));
}

// The legality test plays and takes back the move with the game number
// unchanged, so the key history stays exact and repetitions after the
// user's moves are counted right.
void TryUserMove(int from, int to) {
  if (!IsLegalMove(from, to)) {
    ClearSelection();
    return;
  }
  if (!PlayGameMove(from, to)) {  // the record is full
    ClearSelection();
    TellRecordFull();
    return;
  }
  shell.carrying = false;
  RefreshBoard(0, 0, 0);
  const int queen = E.gamePromotion[E.gameMoveNumber];
  if (queen == kWhiteQueen) SetPromotion(AskPromotion());
  if (queen == kBlackQueen) SetPromotion(AskPromotion() + 8);
  KeepGameNow();
  CheckDrawAnnouncements();
  ComputerTurn();
  ClearSelection();
}

int AskPromotion() {
  Platform& p = *shell.platform;
  const Handle window = OpenDialog(Tr("Promotion"), 480, 54, WindowKind::Fixed);
  static const char* const kNames[4] = {TrLater("Queen"), TrLater("Rook"), TrLater("Bishop"),
                                        TrLater("Knight")};
  Handle buttons[4];
  for (int k = 0; k < 4; k++) buttons[k] = p.AddButton(window, 25 + 110 * k, 15, 100, 25, Tr(kNames[k]));
  // There is no way out without a choice: its close button is ignored, but
  // a request to end the program picks the queen, so that the game is saved
  // with a legal, recorded move.
  int code = kWhiteQueen;
  RunDialog(window, false, [&buttons, &code](const Event& e) {
    if (e.id != EventId::GadgetAction) return false;
    for (int k = 0; k < 4; k++) {
      if (e.source != buttons[k]) continue;
      code = 6 - (k + 1);
      return true;
    }
    return false;
  });
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
  if (StepBackToStart())
    RefreshBoard(0, 0, 0);
  else if (StepForwardToEnd())
    RefreshBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], 0);
}
