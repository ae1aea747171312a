#include "board_view.h"

#include "config_file.h"
#include "engine_state.h"
#include "shell_state.h"
#include "dialog.h"
#include "requests.h"

const int pieceWidthPercent[15] = {0, 105, 110, 110, 105, 130, 130, 0, 0, 105, 110, 110, 105, 130, 130};
const int pieceHeightPercent[15] = {0, 75, 90, 90, 85, 100, 100, 0, 0, 75, 90, 90, 85, 100, 100};

namespace {

// The quiet background around the board in a maximized window: a deep
// brown a shade darker than the dark squares' wood.
constexpr int kSurroundRed = 58, kSurroundGreen = 44, kSurroundBlue = 34;

// A window the window system sized (maximized, full-screen) is wider or
// taller than the board: the rest is filled, after the cells, so that the
// overhang of the pieces on the outer files is covered as beyond the edge
// of a normal window.
void FillAroundBoard() {
  Platform& p = *shell.platform;
  if (shell.mainWindow == 0 || p.StateOf(shell.mainWindow) == WindowState::Normal) return;
  const int w = p.WindowWidth(shell.mainWindow), h = p.WindowHeight(shell.mainWindow);
  const int board = 8 * shell.squareSize;
  const int left = shell.boardLeft, top = shell.boardTop;
  const int right = left + board, bottom = top + board;
  const auto fill = [&p](int x, int y, int width, int height) {
    if (width > 0 && height > 0)
      p.FillRectangle(x, y, width, height, kSurroundRed, kSurroundGreen, kSurroundBlue);
  };
  fill(0, 0, w, top);
  fill(0, bottom, w, h - bottom);
  fill(0, top, left, board);
  fill(right, top, w - right, board);
}

// A piece carried by a drag is drawn last, at its size on the board,
// centred on the pointer.
void DrawCarriedPiece() {
  if (!shell.carrying || shell.pressSquare == 0) return;
  const int piece = shell.displayBoard[shell.pressSquare];
  if (piece < 1 || piece > 14 || piece == kEmpty || piece == kOffBoard) return;
  Platform& p = *shell.platform;
  const int size = shell.squareSize;
  const int pw = size * pieceWidthPercent[piece] / 100, ph = size * pieceHeightPercent[piece] / 100;
  p.SetDrawAlpha(1.0);
  p.DrawPictureStretched(shell.pieceImages[piece], shell.carryX - pw / 2, shell.carryY - ph / 2, pw, ph);
}

}  // namespace

// Cells go rank by rank from rank 1 and file by file from file a; each cell's
// background is drawn over the overhang of the piece drawn just before it.
void DrawBoard(int lastFrom, int lastTo, int selected) {
  Platform& p = *shell.platform;
  const int size = shell.squareSize;
  for (int i = 0; i < 8; i++) {
    for (int j = 0; j < 8; j++) {
      const int s = 22 + 10 * i + j;
      int left, top;
      if (settings.humanPlaysBlack == 0) {
        left = j * size;
        top = (7 - i) * size;
      } else {
        left = (7 - j) * size;
        top = i * size;
      }
      left += shell.boardLeft;
      top += shell.boardTop;
      const int colour = (i + j) % 2 == 0 ? 2 : 1;  // a1 is dark
      p.SetDrawAlpha(1.0);
      p.DrawPictureStretched(shell.squareImages[colour], left, top, size, size);
      int piece = shell.displayBoard[s];
      double alpha = 1.0;
      if (s == lastFrom) {
        piece = lastTo >= 0 && lastTo <= 120 ? shell.displayBoard[lastTo] : kEmpty;
        alpha = 0.4;
      }
      if (s == selected) alpha = 0.7;
      if (piece < 1 || piece > 14 || piece == kEmpty || piece == kOffBoard) continue;
      const int pw = size * pieceWidthPercent[piece] / 100;
      const int ph = size * pieceHeightPercent[piece] / 100;
      p.SetDrawAlpha(alpha);
      p.DrawPictureStretched(shell.pieceImages[piece], left + (size - pw) / 2, top + size - ph, pw,
                             ph);
    }
  }
  FillAroundBoard();
  DrawCarriedPiece();
  p.Present();
}

void RefreshBoard(int lastFrom, int lastTo, int selected) {
  for (int s = 22; s <= 99; s++) shell.displayBoard[s] = E.board[s];
  DrawBoard(lastFrom, lastTo, selected);
}

// A program that is ending shows no banner, and a request to end it takes a
// banner down at once, whether it waits for its first paint or stands.
void ShowResult(int kind, int milliseconds) {
  if (shell.quitRequested) return;
  Platform& p = *shell.platform;
  const Handle window = OpenDialog("", 315, 68, WindowKind::Bare);
  const Handle canvas = p.AddCanvas(window, 0, 0, 315, 68, false);
  p.SetDrawTarget(canvas);
  p.Present();
  // The banner goes up only once its window has been shown.
  RunDialog(window, false, [](const Event& e) { return e.id == EventId::GadgetPaint; });
  if (!shell.quitRequested) {
    p.SetDrawAlpha(1.0);
    if (kind >= 1 && kind <= 3) p.DrawPicture(shell.resultImages[kind], 0, 0);
    p.Present();
    // The request stays queued; the program is ending all the same.
    if (p.SleepUnless(milliseconds, IsQuitRequest)) shell.quitRequested = true;
  }
  p.DestroyWindow(window);
  RestoreBoardTarget();
}

void ShowResultBanner(int kind) { ShowResult(kind, kResultMs); }
