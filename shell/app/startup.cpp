#include <algorithm>

#include <cstdio>
#include <string>

#include "board_view.h"
#include "book.h"
#include "config_file.h"
#include "dialogs.h"
#include "engine_state.h"
#include "game_file.h"
#include "position.h"
#include "program.h"
#include "search.h"
#include "shell_state.h"
#include "system.h"
#include "think.h"
#include "ttable.h"

namespace {

// Loads one picture; a missing or undecodable one is reported and stops
// the start.
bool LoadOnePicture(const std::string& path, Handle& handle) {
  std::string error;
  handle = shell.platform->LoadPicture(path, &error);
  if (handle != 0) return true;
  if (error.empty()) error = "cannot load picture \"" + path + "\"";
  std::fprintf(stderr, "korvin4: %s\n", error.c_str());
  ShowMessage("Korvin 4 cannot start: a picture is missing or damaged.", error);
  return false;
}

bool LoadPictures() {
  static const char* const kResults[4] = {"", "checkmate.png", "stalemate.png", "draw.png"};
  static const char* const kSquares[3] = {"", "light.jpg", "dark.jpg"};
  if (!LoadOnePicture("chess.jpg", shell.optionsPicture)) return false;
  for (int k = 1; k <= 3; k++)
    if (!LoadOnePicture(kResults[k], shell.resultImages[k])) return false;
  for (int k = 1; k <= 2; k++)
    if (!LoadOnePicture(kSquares[k], shell.squareImages[k])) return false;
  for (int n = 1; n <= 14; n++) {
    if (n == kEmpty || n == kOffBoard) continue;
    if (!LoadOnePicture("fig" + std::to_string(n) + ".png", shell.pieceImages[n])) return false;
  }
  return true;
}

// SaveConfig asks the main window where it stands.
bool MainWindowGeometry(int& x, int& y, int& width, int& height) {
  if (shell.platform == nullptr || shell.mainWindow == 0) return false;
  Platform& p = *shell.platform;
  x = p.WindowX(shell.mainWindow);
  y = p.WindowY(shell.mainWindow);
  width = p.WindowWidth(shell.mainWindow);
  height = p.WindowHeight(shell.mainWindow);
  return true;
}

// While the computer thinks, the window only repaints and keeps its size;
// everything else taken here is dropped.
void SearchPoll() {
  Event event;
  Platform& p = *shell.platform;
  if (!p.PollEvent(event)) return;
  if (event.id == EventId::WindowSize) {
    p.SetWindowShape(shell.mainWindow, p.WindowX(shell.mainWindow), p.WindowY(shell.mainWindow),
                     settings.windowWidth, settings.windowHeight);
  } else if (event.id == EventId::GadgetPaint) {
    DrawBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], 0);
  }
}

}  // namespace

bool StartUp(Platform& platform) {
  shell = ShellState{};
  shell.platform = &platform;
  CreateEngine();
  SeedRandom(static_cast<uint32_t>(ClockMs()));
  InitKeys();
  if (!LoadPictures()) return false;

  const int desktopWidth = platform.DesktopWidth(), desktopHeight = platform.DesktopHeight();
  if (!LoadConfig("korvin.cfg")) ApplyConfigDefaults(desktopWidth, desktopHeight);
  // A hand-edited file may hold any size: keep it within the window's limits
  // (so the squares are never 0 pixels wide).
  const int largest = desktopWidth < desktopHeight ? desktopWidth : desktopHeight;
  settings.windowWidth = std::clamp(settings.windowWidth, 160, std::max(160, largest));
  settings.windowHeight = std::clamp(settings.windowHeight, 160, std::max(160, largest));
  if (settings.hideWelcome == 0) ShowWelcome();

  // The stored width is used as it is; the first resize makes it square.
  shell.squareSize = settings.windowWidth / 8;
  shell.mainWindow = platform.OpenWindow("Korvin 4", settings.windowX, settings.windowY,
                                         settings.windowWidth, settings.windowHeight,
                                         WindowKind::Resizable);
  shell.boardCanvas = platform.AddCanvas(shell.mainWindow, 0, 0, desktopWidth, desktopHeight, true);
  platform.SetWindowLimits(shell.mainWindow, 160, 160, largest, largest);
  RestoreBoardTarget();
  platform.Present();

  // The starting position with an empty record: castling rights 15, the
  // mate threshold, the piece lists and the key.
  InitSideKey();
  NewGame();
  E.useHashTable = 1;
  LoadBook();
  LoadGame("korvin.kga");  // a missing or damaged kept game leaves the start position

  searchPollHook = SearchPoll;
  refreshBoardHook = RefreshBoard;
  showResultHook = ShowResult;
  SetWindowGeometrySource(MainWindowGeometry);

  RefreshBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], 0);
  return true;
}

int RunProgram(Platform& platform) {
  if (!StartUp(platform)) return 1;
  StartTableWarmUp();  // the table's pages, while the user looks at the board
  RunEventLoop();
  return 0;
}
