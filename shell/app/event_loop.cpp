#include <cstdio>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "board_view.h"
#include "config_file.h"
#include "dialogs.h"
#include "engine_state.h"
#include "game_file.h"
#include "move_input.h"
#include "program.h"
#include "search.h"
#include "shell_state.h"
#include "storage_error.h"
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

bool IsQuitRequest(const Event& event) {
  if (event.id == EventId::AppTerminate) return true;
  return event.id == EventId::WindowClose && shell.mainWindow != 0 &&
         event.source == shell.mainWindow;
}

bool TakeQuitRequest(const Event& event) {
  if (!IsQuitRequest(event)) return false;
  shell.quitRequested = true;
  return true;
}

namespace {

// Adds the two lines that tell of a file the exit could not write.
void ReportSaveFailure(std::vector<std::string>& lines, const char* what, const char* path,
                       const std::string& reason) {
  lines.push_back(std::string("The ") + what + " could not be saved to \"" + AbsolutePath(path) +
                  "\":");
  lines.push_back(reason);
  std::fprintf(stderr, "korvin4: cannot save %s: %s\n", path, reason.c_str());
}

// The kept game is written (or, without moves, removed) only where that
// cannot lose a game the program did not read: not when the program ended
// before it looked at the file, and for a file that could not be moved aside
// at start-up only once a second try succeeds.
void SaveKeptGame(std::vector<std::string>& problems) {
  KeptGame& kept = shell.keptGame;
  if (kept.state == KeptGameState::NotRead) return;
  if (!RetryMovingAside(kKeptGamePath, kept)) {
    ReportSaveFailure(problems, "game", kKeptGamePath,
                      "the game there could not be loaded, nor moved aside (" + kept.moveError + ")");
    return;
  }
  if (!SaveGame(kKeptGamePath)) ReportSaveFailure(problems, "game", kKeptGamePath, StorageError());
}

}  // namespace

// A failed save is reported once the main window is gone, and makes the exit
// status 1; the previous file is intact (writes are atomic).
void ShutDown() {
  if (shell.ended) return;
  shell.ended = true;
  searchPollHook = nullptr;
  refreshBoardHook = nullptr;
  showResultHook = nullptr;
  std::vector<std::string> problems;
  SaveKeptGame(problems);
  if (!SaveConfig(kConfigPath)) ReportSaveFailure(problems, "settings", kConfigPath, StorageError());
  SetWindowGeometrySource(nullptr);
  if (shell.mainWindow != 0) shell.platform->DestroyWindow(shell.mainWindow);
  shell.mainWindow = shell.boardCanvas = 0;
  if (problems.empty()) return;
  shell.exitStatus = 1;
  problems.push_back("Files already there were left as they were.");
  ShowMessage(problems);
}

bool HandleEvent(const Event& event) {
  switch (event.id) {
    case EventId::WindowClose:  // a dialog's, when it comes late, means nothing
    case EventId::AppTerminate:
      TakeQuitRequest(event);
      break;
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
  if (!shell.quitRequested && shell.selectedFrom != 0 && shell.selectedTo != 0) {
    TryUserMove(shell.selectedFrom, shell.selectedTo);
    ClearSelection();
  }
  // The request may have come now, or in a dialog, or while the computer
  // thought; its move has been played and recorded by now.
  if (shell.quitRequested) {
    ShutDown();
    return false;
  }
  return true;
}

void RunEventLoop() {
  while (HandleEvent(shell.platform->WaitEvent())) {
  }
}
