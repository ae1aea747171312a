#include <string>
#include <vector>

#include "board_view.h"
#include "config_file.h"
#include "engine_state.h"
#include "game_file.h"
#include "keep_game.h"
#include "move_input.h"
#include "pgn_file.h"
#include "position.h"
#include "shell_state.h"
#include "storage_error.h"
#include "think.h"
#include "message_window.h"
#include "dialog.h"
#include "texts.h"

namespace {

enum class Command { Close, NewGame, LoadGame, SaveGame, ChangeSides, Level };

struct OptionsDialog {
  Handle window;
  Handle canvas;
  Handle newGame, loadGame, saveGame, changeSides;
  Handle levels[5];  // 1..4
};

OptionsDialog OpenOptions() {
  Platform& p = *shell.platform;
  OptionsDialog d{};
  d.window = OpenDialog(Tr("Options"), 480, 330, WindowKind::Fixed);
  d.newGame = p.AddButton(d.window, 25, 25, 100, 25, Tr("New Game"));
  d.loadGame = p.AddButton(d.window, 135, 25, 100, 25, Tr("Load Game"));
  d.saveGame = p.AddButton(d.window, 245, 25, 100, 25, Tr("Save Game"));
  d.changeSides = p.AddButton(d.window, 355, 25, 100, 25, Tr("Change Sides"));
  p.AddLabel(d.window, 25, 62, 430, 1, "", LabelKind::Separator);
  static const char* const kLevelNames[5] = {"", TrLater("Novice"), TrLater("Intermediate"),
                                             TrLater("Advanced"), TrLater("Expert")};
  for (int level = 1; level <= 4; level++)
    d.levels[level] = p.AddButton(d.window, 25 + 110 * (level - 1), 74, 100, 25, Tr(kLevelNames[level]));
  p.AddLabel(d.window, 25, 130, 430, 17, kInformationLine, LabelKind::Sunken);
  d.canvas = p.AddCanvas(d.window, 80, 180, 320, 120, false);
  p.SetDrawTarget(d.canvas);
  if (settings.level >= 1 && settings.level <= 4)
    p.SetButtonColour(d.levels[settings.level], 255, 255, 255);
  p.Present();
  return d;
}

// Waits for a command; level buttons leave their level in `level`. A
// request to end the program closes the dialog as its close button does.
Command WaitForCommand(const OptionsDialog& d, int& level) {
  Platform& p = *shell.platform;
  Command command = Command::Close;
  RunDialog(d.window, true, [&](const Event& e) {
    if (e.id == EventId::GadgetPaint) {
      p.SetDrawAlpha(1.0);
      p.DrawPicture(shell.optionsPicture, 0, 0);
      p.Present();
      return false;
    }
    if (e.id != EventId::GadgetAction) return false;
    const std::pair<Handle, Command> buttons[] = {{d.newGame, Command::NewGame},
                                                  {d.loadGame, Command::LoadGame},
                                                  {d.saveGame, Command::SaveGame},
                                                  {d.changeSides, Command::ChangeSides}};
    for (const auto& [button, chosen] : buttons) {
      if (e.source != button) continue;
      command = chosen;
      return true;
    }
    for (int k = 1; k <= 4; k++) {
      if (e.source != d.levels[k]) continue;
      level = k;
      command = Command::Level;
      return true;
    }
    return false;
  });
  return command;
}

void CloseOptions(const OptionsDialog& d) {
  shell.platform->DestroyWindow(d.window);
  RestoreBoardTarget();
}

// The kinds of game file the requesters offer; a name ending in ".pgn" is
// read and written as PGN (the first game of a file with several). Loading
// first shows both kinds together.
std::vector<FileFilter> LoadKinds() {
  return {{Tr("Games"), "kga pgn"}, {Tr("Korvin game"), "kga"}, {Tr("PGN"), "pgn"}};
}
std::vector<FileFilter> SaveKinds() { return {{Tr("Korvin game"), "kga"}, {Tr("PGN"), "pgn"}}; }

// A Korvin game has no tags: a game loaded from one is saved as PGN with
// the program's own.
bool LoadChosenGame(const std::string& path) {
  int games = 0;
  if (IsPgnPath(path)) return LoadPgn(path.c_str(), 1, games);
  if (!LoadGame(path.c_str())) return false;
  ForgetPgnTags();
  return true;
}

bool SaveChosenGame(const std::string& path) {
  return IsPgnPath(path) ? SavePgn(path.c_str(), settings.level, PgnDateToday())
                         : SaveGame(path.c_str());
}

// What a load that was refused means: the reason, and that nothing changed.
std::vector<std::string> LoadFailure(const std::string& path) {
  return {Fill(Tr("The game in \"%1\" could not be loaded:"), {path}), Sentence(StorageError()),
          Tr("Your game goes on as it was.")};
}

void RefreshWithLastMove() {
  RefreshBoard(E.gameFrom[E.gameMoveNumber], E.gameTo[E.gameMoveNumber], 0);
}

// The computer's turn started from the dialog; any pending click is dropped.
void ComputerMoves() {
  ComputerTurn();
  ClearSelection();
}

}  // namespace

void ShowOptions() {
  Platform& p = *shell.platform;
  const OptionsDialog d = OpenOptions();
  int level = 0;
  const Command command = WaitForCommand(d, level);
  std::vector<std::string> lines;  // what went wrong with an explicit load or save
  std::string path;
  switch (command) {
    case Command::Close:
      CloseOptions(d);
      break;
    case Command::NewGame:
      NewGame();  // the starting position with an empty record
      ForgetPgnTags();
      settings.humanPlaysBlack = 1 - settings.humanPlaysBlack;
      KeepGameNow();
      CloseOptions(d);
      RefreshBoard(0, 0, 0);
      if (settings.humanPlaysBlack == 1) ComputerMoves();
      break;
    case Command::LoadGame:
      path = p.RequestFile(Tr("Load File"), LoadKinds(), false, "", shell.mainWindow);
      // A cancelled requester gives an empty path: the game stays.
      if (!path.empty()) {
        if (LoadChosenGame(path))
          KeepGameNow();
        else
          lines = LoadFailure(path);
      }
      CloseOptions(d);
      RefreshWithLastMove();
      break;
    case Command::SaveGame:
      // A game without moves would remove the chosen file: nothing is asked
      // and nothing is changed.
      if (E.gameFrom[1] == -1) {
        lines = {Tr("The game has no moves yet: there is nothing to save."),
                 Tr("No file was written or removed.")};
        CloseOptions(d);
        break;
      }
      path = p.RequestFile(Tr("Save File"), SaveKinds(), true, "", shell.mainWindow);
      if (!path.empty() && !SaveChosenGame(path))
        lines = {Fill(Tr("Your game could not be saved to \"%1\":"), {path}),
                 Sentence(StorageError()),
                 Tr("Nothing was written there: choose another folder or name and save again.")};
      CloseOptions(d);
      break;
    case Command::ChangeSides:
      settings.humanPlaysBlack = 1 - settings.humanPlaysBlack;
      KeepGameNow();  // the orientation is part of the kept game
      CloseOptions(d);
      RefreshWithLastMove();
      ComputerMoves();
      break;
    case Command::Level:
      settings.level = level;
      CloseOptions(d);
      break;
  }
  if (!lines.empty()) ShowMessage(lines);
}

bool OpenGameFile(const std::string& path) {
  if (LoadChosenGame(path)) {
    KeepGameNow();
    ClearSelection();
    RefreshWithLastMove();
    return true;
  }
  ShowMessage(LoadFailure(path));
  return false;
}
