#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "board_view.h"
#include "config_file.h"
#include "engine_state.h"
#include "folder_lock.h"
#include "game_file.h"
#include "keep_game.h"
#include "move_input.h"
#include "search.h"
#include "shell_state.h"
#include "start_request.h"
#include "storage_error.h"
#include "think.h"
#include "options_dialog.h"
#include "message_window.h"
#include "place_window.h"
#include "requests.h"
#include "texts.h"

namespace {

// A board whose size or place changed is drawn again at once: a window made
// smaller is not repainted by the window system (it only cuts off what was
// shown), so nothing else would redraw it.
class RedrawWhenMoved {
 public:
  // `selected`: the square drawn as selected.
  explicit RedrawWhenMoved(int selected)
      : selected_(selected), size_(shell.squareSize), left_(shell.boardLeft), top_(shell.boardTop) {}
  ~RedrawWhenMoved() {
    if (shell.squareSize == size_ && shell.boardLeft == left_ && shell.boardTop == top_) return;
    if (shell.boardCanvas == 0) return;
    DrawBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], selected_);
  }
  RedrawWhenMoved(const RedrawWhenMoved&) = delete;
  RedrawWhenMoved& operator=(const RedrawWhenMoved&) = delete;

 private:
  int selected_, size_, left_, top_;
};

}  // namespace

// A maximized or full-screen window has the size the window system gave
// it: the board is the largest that fits, centred, and the size stored for
// the next start stays the last square one.
void ApplySquareWindowRule() {
  RedrawWhenMoved redraw(shell.selectedFrom);
  Platform& p = *shell.platform;
  const int w = p.WindowWidth(shell.mainWindow), h = p.WindowHeight(shell.mainWindow);
  const WindowState state = p.StateOf(shell.mainWindow);
  if (state == WindowState::Minimized) return;
  if (state != WindowState::Normal) {
    const int board = std::max(8, (w < h ? w : h) / 8 * 8);
    shell.squareSize = board / 8;
    shell.boardLeft = std::max(0, (w - board) / 2);
    shell.boardTop = std::max(0, (h - board) / 2);
    shell.sizedByDesktop = true;
    return;
  }
  shell.boardLeft = shell.boardTop = 0;
  // Back from maximized or full-screen: the square window it was. (The new
  // state may be told before the size changes back, so the present size
  // says nothing.)
  if (shell.sizedByDesktop) {
    shell.sizedByDesktop = false;
    shell.squareSize = settings.windowWidth / 8;
    if (w != settings.windowWidth || h != settings.windowHeight)
      p.SetWindowShape(shell.mainWindow, p.WindowX(shell.mainWindow), p.WindowY(shell.mainWindow),
                       settings.windowWidth, settings.windowHeight);
    return;
  }
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

void KeepWindowWhileThinking() {
  RedrawWhenMoved redraw(0);  // the search shows the game's position, unselected
  Platform& p = *shell.platform;
  const WindowState state = p.StateOf(shell.mainWindow);
  if (state != WindowState::Normal) {
    ApplySquareWindowRule();
    return;
  }
  shell.boardLeft = shell.boardTop = 0;
  shell.squareSize = settings.windowWidth / 8;
  p.SetWindowShape(shell.mainWindow, p.WindowX(shell.mainWindow), p.WindowY(shell.mainWindow),
                   settings.windowWidth, settings.windowHeight);
}

namespace {

constexpr const char* kSettingsNotSaved = TrLater("The settings could not be saved to \"%1\":");

// Adds the two lines that tell of a file the exit could not write; `line`
// names the file with %1.
void ReportSaveFailure(std::vector<std::string>& lines, const char* line, const char* path,
                       const std::string& reason) {
  lines.push_back(Fill(Tr(line), {FullPath(path)}));
  lines.push_back(Sentence(reason));
}

// The kept game and the settings, as the program ends; what went wrong is
// added to `problems`.
void SaveAtExit(std::vector<std::string>& problems) {
  const KeptGameWrite write = WriteKeptGame();
  problems.insert(problems.end(), write.found.begin(), write.found.end());
  if (!write.failure.empty())
    ReportSaveFailure(problems, TrLater("The game could not be saved to \"%1\":"), kKeptGamePath,
                      write.failure);
  if (!SaveConfig(kConfigPath)) {
    std::fprintf(stderr, "korvin4: cannot save %s: %s\n", kConfigPath, StorageError());
    ReportSaveFailure(problems, kSettingsNotSaved, kConfigPath, StorageError());
  }
}

}  // namespace

void SaveAtSessionEnd() {
  if (shell.ended) return;
  std::vector<std::string> ignored;  // there is no time to tell: the log has it
  SaveAtExit(ignored);
}

// A failed save is reported once the main window is gone, and makes the exit
// status 1; the previous file is intact (writes are atomic).
void ShutDown() {
  if (shell.ended) return;
  shell.ended = true;
  searchPollHook = nullptr;
  refreshBoardHook = nullptr;
  showResultHook = nullptr;
  movePlayedHook = nullptr;
  shell.platform->SetSessionEndHandler(nullptr);
  shell.platform->SetBusy(false);
  std::vector<std::string> problems;
  SaveAtExit(problems);
  SetWindowGeometrySource(nullptr);
  if (shell.mainWindow != 0) shell.platform->DestroyWindow(shell.mainWindow);
  shell.mainWindow = shell.boardCanvas = 0;
  StopListening();
  shell.startListener = -1;
  if (!problems.empty()) {
    shell.exitStatus = 1;
    problems.push_back(Tr("Files already there were left as they were."));
    ShowMessage(problems);
  }
  UnlockWorkingFolder();
}

bool HandleEvent(const Event& event) {
  switch (event.id) {
    case EventId::WindowClose:  // a dialog's, when it comes late, means nothing
    case EventId::AppTerminate:
    case EventId::HandleReady:
      TakeOutsideRequest(event);
      break;
    case EventId::WindowSize:
      ApplySquareWindowRule();
      break;
    case EventId::GadgetPaint:
      // The first time the board is shown its window's frame is known.
      if (!shell.placedWithFrame && event.source == shell.boardCanvas) {
        shell.placedWithFrame = true;
        // A window made smaller to fit is drawn at once at its new size.
        if (KeepMainWindowOnScreen(*shell.platform, shell.mainWindow))
          shell.squareSize = settings.windowWidth / 8;
      }
      DrawBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], shell.selectedFrom);
      break;
    case EventId::MouseDown:
      if (event.data == 1) LeftPress();
      if (event.data == 2) ShowOptions();
      if (event.data == 3) MiddleClick();
      break;
    case EventId::MouseMove:
      PointerMoved();
      break;
    case EventId::MouseUp:
      if (event.data == 1) LeftRelease();
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
  // Game files that later starts asked to open, once the board is free.
  while (!shell.quitRequested && !shell.pendingOpens.empty()) {
    const std::string path = shell.pendingOpens.front();
    shell.pendingOpens.erase(shell.pendingOpens.begin());
    OpenGameFile(path);
  }
  ShowKeptGameNews();
  // The request may have come now, or in a dialog, or while the computer
  // thought; its move has been played and recorded by now.
  if (shell.quitRequested) {
    ShutDown();
    return false;
  }
  return true;
}

void RunEventLoop() {
  // A kept game that stopped at the computer's turn goes on where it was.
  if (shell.resumeComputerTurn && !shell.quitRequested) {
    shell.resumeComputerTurn = false;
    ResumeComputerTurn();
    ShowKeptGameNews();
  }
  if (shell.quitRequested) {
    ShutDown();
    return;
  }
  while (HandleEvent(shell.platform->WaitEvent())) {
  }
}
