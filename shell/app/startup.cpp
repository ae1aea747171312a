#include <algorithm>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "leftovers.h"
#include "read_file.h"
#include "utf8_path.h"
#include "board_view.h"
#include "book.h"
#include "book_file.h"
#include "config_file.h"
#include "engine_state.h"
#include "folder_lock.h"
#include "game_file.h"
#include "keep_game.h"
#include "kept_game.h"
#include "position.h"
#include "search.h"
#include "shell_state.h"
#include "start_request.h"
#include "storage_error.h"
#include "system.h"
#include "think.h"
#include "ttable.h"
#include "event_loop.h"
#include "welcome_dialog.h"
#include "options_dialog.h"
#include "message_window.h"
#include "place_window.h"
#include "requests.h"
#include "texts.h"

namespace {

// Loads one picture; a missing or undecodable one is reported and stops
// the start.
bool LoadOnePicture(const std::string& path, Handle& handle) {
  std::string error;
  handle = shell.platform->LoadPicture(path, &error);
  if (handle != 0) return true;
  if (error.empty()) error = Fill(Tr("cannot load picture \"%1\""), {path});
  std::fprintf(stderr, "korvin4: %s\n", error.c_str());
  ShowMessage({Tr("Korvin 4 cannot start: one of its pictures is missing or damaged:"),
               Sentence(error),
               Tr("Start Korvin 4 from its menu entry again: it puts its pictures back.")});
  shell.exitStatus = 1;
  return false;
}

// A result banner in the user's language ("checkmate-de.png") where there
// is one, else the English one.
std::string BannerPicture(const std::string& name) {
  if (TextLanguage().empty()) return name;
  const std::string local =
      name.substr(0, name.rfind('.')) + "-" + TextLanguage() + name.substr(name.rfind('.'));
  std::error_code ignored;
  return std::filesystem::is_regular_file(PathFromUtf8(local), ignored) ? local : name;
}

bool LoadPictures() {
  static const char* const kResults[4] = {"", "checkmate.png", "stalemate.png", "draw.png"};
  static const char* const kSquares[3] = {"", "light.jpg", "dark.jpg"};
  if (!LoadOnePicture("chess.jpg", shell.optionsPicture)) return false;
  for (int k = 1; k <= 3; k++)
    if (!LoadOnePicture(BannerPicture(kResults[k]), shell.resultImages[k])) return false;
  for (int k = 1; k <= 2; k++)
    if (!LoadOnePicture(kSquares[k], shell.squareImages[k])) return false;
  for (int n = 1; n <= 14; n++) {
    if (n == kEmpty || n == kOffBoard) continue;
    if (!LoadOnePicture("fig" + std::to_string(n) + ".png", shell.pieceImages[n])) return false;
  }
  return true;
}

// SaveConfig asks the main window where it stands. A maximized or
// full-screen window reports the square window it returns to, and where the
// window system keeps positions to itself the stored position stays.
bool MainWindowGeometry(int& x, int& y, int& width, int& height) {
  if (shell.platform == nullptr || shell.mainWindow == 0) return false;
  Platform& p = *shell.platform;
  if (p.StateOf(shell.mainWindow) == WindowState::Normal) {
    x = p.WindowX(shell.mainWindow);
    y = p.WindowY(shell.mainWindow);
    width = p.WindowWidth(shell.mainWindow);
    height = p.WindowHeight(shell.mainWindow);
  } else {
    const ScreenRect normal = p.NormalGeometry(shell.mainWindow);
    x = normal.x;
    y = normal.y;
    width = height = settings.windowWidth;
  }
  if (!p.KnowsWindowPositions()) {
    x = shell.storedWindowX;
    y = shell.storedWindowY;
  }
  return true;
}

// While the computer thinks, the window only repaints and keeps its size,
// and a request to end the program ends the search; everything else taken
// here (clicks, wheel turns) is dropped.
void SearchPoll() {
  Event event;
  Platform& p = *shell.platform;
  if (p.PollEvent(event)) {
    if (event.id == EventId::WindowSize) {
      KeepWindowWhileThinking();
    } else if (event.id == EventId::GadgetPaint) {
      DrawBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], 0);
    } else {
      TakeOutsideRequest(event);
    }
  }
  // Once only: the searches that follow the move (the check for mate or
  // stalemate) and the one-ply search that finds a move when none was
  // finished run as usual.
  if (shell.quitRequested && !shell.searchStopped) {
    shell.searchStopped = true;
    StopThinking();
  }
}

// The lines that tell the user what became of a kept game that could not be
// loaded.
std::vector<std::string> KeptGameMessage(const KeptGame& kept) {
  std::vector<std::string> lines = {
      Tr("The game kept from your last session could not be loaded:"),
      // TRANSLATORS: a file name, then the reason it could not be loaded.
      Fill(Tr("\"%1\": %2."), {FullPath(kKeptGamePath), kept.reason})};
  if (kept.state == KeptGameState::MovedAside) {
    lines.push_back(Fill(Tr("It was kept as \"%1\"."), {FullPath(kept.keptAs)}));
  } else {
    for (const std::string& line :
         Lines(Fill(Tr("It could not be moved aside (%1),\n"
                       "so it is left as it was and this session's game cannot be kept there."),
                    {kept.moveError})))
      lines.push_back(line);
  }
  lines.push_back(Tr("A new game begins."));
  return lines;
}

// Another program has this folder: it is asked to come to the front (and
// to open the file), and the user is told. A file it confirmed it opens
// needs no further word.
void HandOver(const std::string& openPath) {
  std::string error;
  const RequestSent sent =
      SendStartRequest(StartRequest{openPath, ActivationTokenOfThisStart()}, 2000, error);
  std::error_code ignored;
  const std::string folder = Utf8FromPath(std::filesystem::current_path(ignored));
  std::fprintf(stderr, "korvin4: Korvin 4 is already running in %s\n", folder.c_str());
  if (sent == RequestSent::Confirmed && !openPath.empty()) return;
  std::vector<std::string> lines = {Tr("Korvin 4 is already running in this folder:"),
                                    Fill(Tr("\"%1\"."), {folder})};
  if (sent == RequestSent::Confirmed) {
    lines.push_back(Tr("Its window has been brought to the front."));
  } else if (sent == RequestSent::Unconfirmed) {
    lines.push_back(Tr("It is busy (a dialog may be open there); look for its window."));
    if (!openPath.empty()) lines.push_back(Fill(Tr("It opens \"%1\" once it is free."), {openPath}));
  } else {
    lines.push_back(Fill(Tr("It could not be reached (%1); look for its window."), {error}));
    if (!openPath.empty()) lines.push_back(Fill(Tr("\"%1\" was not opened."), {openPath}));
  }
  ShowMessage(lines);
}

// The lines that tell of settings that could not be read.
std::vector<std::string> SettingsMessage(const std::string& reason) {
  return {Fill(Tr("Your settings could not be read from \"%1\":"), {FullPath(kConfigPath)}),
          Sentence(reason),
          Tr("Korvin 4 starts with its usual settings and saves yours when it closes.")};
}

// One program per folder: a second one touches no file, hands its request
// to the running one and ends. False when this program must end.
bool TakeTheFolder(const std::string& openPath) {
  std::string lockError;
  const FolderLockResult lock = LockWorkingFolder(lockError);
  if (lock == FolderLockResult::HeldElsewhere) {
    HandOver(openPath);
    return false;
  }
  if (lock == FolderLockResult::Unsupported)
    std::fprintf(stderr, "korvin4: %s; running without the lock\n", lockError.c_str());
  shell.startListener = ListenForLaterStarts();
  if (shell.startListener >= 0)
    shell.platform->WatchWaitHandle(shell.startListener, kLaterStartTag);
  return true;
}

void LeaveTheFolder() {
  StopListening();
  UnlockWorkingFolder();
}

// The engine's arrays and tables, and the random keys drawn from a clock seed.
void StartTheEngine() {
  CreateEngine();
  SeedRandom(static_cast<uint32_t>(ClockMs()));
  InitKeys();
}

// "korvin.cfg", or the defaults of a first start, fitted onto a screen (a
// hand-edited file may hold any geometry). A missing file is a first start;
// the reason of any other failure is returned, to be told once the board is
// up.
std::string LoadTheSettings() {
  Platform& p = *shell.platform;
  std::string problem;
  if (!LoadConfig(kConfigPath)) {
    if (LastStorageFault() != StorageFault::FileNotFound) problem = StorageError();
    ApplyConfigDefaults(p.DesktopWidth(), p.DesktopHeight());
  }
  shell.storedWindowX = settings.windowX;
  shell.storedWindowY = settings.windowY;
  PlaceMainWindow(p);
  return problem;
}

// The square window with its board canvas, as large as the desktop and
// anchored to the window's edges. The stored width is used as it is; the
// first resize makes it square.
void OpenMainWindow() {
  Platform& p = *shell.platform;
  const int desktopWidth = p.DesktopWidth(), desktopHeight = p.DesktopHeight();
  const int largest = desktopWidth < desktopHeight ? desktopWidth : desktopHeight;
  shell.squareSize = settings.windowWidth / 8;
  shell.mainWindow = p.OpenWindow("Korvin 4", settings.windowX, settings.windowY,
                                  settings.windowWidth, settings.windowHeight, WindowKind::Resizable, 0);
  shell.boardCanvas = p.AddCanvas(shell.mainWindow, 0, 0, desktopWidth, desktopHeight, true);
  p.SetWindowLimits(shell.mainWindow, 160, 160, largest, largest);
  RestoreBoardTarget();
  p.Present();
}

// The book, then the kept game (a missing or empty one leaves the start
// position; a damaged one is moved aside first of all), then the leftovers of
// saves that were cut short.
void LoadTheGame() {
  LoadBook();
  shell.keptGame = LoadKeptGame(kKeptGamePath);
  // Written as it is played, a kept game stops at the computer's turn only
  // when the program was ended while the computer thought: it goes on there.
  shell.resumeComputerTurn =
      shell.keptGame.state == KeptGameState::Loaded && E.sideToMove != settings.humanPlaysBlack;
  RemoveLeftoverTemporaries(kKeptGamePath);
  RemoveLeftoverTemporaries(kConfigPath);
}

// From now on the engine shows, keeps and announces what it plays, and the
// end of the session saves at once.
void ConnectTheEngine() {
  searchPollHook = SearchPoll;
  refreshBoardHook = RefreshBoard;
  showResultHook = ShowResultBanner;
  movePlayedHook = KeepGameNow;
  SetWindowGeometrySource(MainWindowGeometry);
  shell.platform->SetSessionEndHandler(SaveAtSessionEnd);
}

// What start-up could not do as usual, told over the board.
void TellWhatHappened(const std::string& settingsProblem) {
  if (shell.keptGame.state == KeptGameState::MovedAside ||
      shell.keptGame.state == KeptGameState::Stuck)
    ShowMessage(KeptGameMessage(shell.keptGame));
  if (!settingsProblem.empty() && !shell.quitRequested) ShowMessage(SettingsMessage(settingsProblem));
}

}  // namespace

bool StartUp(Platform& platform, const std::string& openPath) {
  shell = ShellState{};
  shell.platform = &platform;
  shell.startListener = -1;
  if (!TakeTheFolder(openPath)) return false;
  StartTheEngine();
  if (!LoadPictures()) {
    LeaveTheFolder();
    return false;
  }
  const std::string settingsProblem = LoadTheSettings();
  OpenMainWindow();
  // The starting position with an empty record; the welcome dialog is a
  // dialog of the main window, over the board in its starting position.
  InitSideKey();
  NewGame();
  if (settings.hideWelcome == 0) {
    RefreshBoard(0, 0, 0);
    ShowWelcome();
    RestoreBoardTarget();
  }
  // The session ended during the welcome dialog: the settings are kept, the
  // kept game was never read and is not touched.
  if (shell.quitRequested) {
    ShutDown();
    return false;
  }
  LoadTheGame();
  ConnectTheEngine();
  RefreshBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], 0);
  TellWhatHappened(settingsProblem);
  // A game file given at the start is loaded as "Load Game" would, and
  // waits for the user as a loaded game does.
  if (!openPath.empty() && !shell.quitRequested && OpenGameFile(openPath))
    shell.resumeComputerTurn = false;
  if (shell.quitRequested) {
    ShutDown();
    return false;
  }
  return true;
}

int RunProgram(Platform& platform, const std::string& openPath) {
  if (StartUp(platform, openPath)) {
    StartTableWarmUp();  // the table's pages, while the user looks at the board
    RunEventLoop();
  }
  return shell.exitStatus;
}
