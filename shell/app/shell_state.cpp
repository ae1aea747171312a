#include "shell_state.h"

ShellState shell;

void ClearSelection() {
  shell.clickCount = 0;
  shell.selectedFrom = 0;
  shell.selectedTo = 0;
  shell.pressSquare = 0;
  shell.carrying = false;
}

void RestoreBoardTarget() {
  Platform& p = *shell.platform;
  p.SetDrawTarget(shell.boardCanvas);
  p.SetFocus(shell.boardCanvas);
  p.SetAlphaBlending(true);
}
