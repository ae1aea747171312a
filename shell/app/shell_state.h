// The window program's own state, kept beside the engine record for the whole
// run: the platform it draws on, the window and canvas handles, the pictures,
// the board's size and place, the click and drag selection, the display copy
// of the board, the requests to end, and what became of the kept game.
#pragma once

#include <string>
#include <vector>

#include "kept_game.h"
#include "platform.h"

struct ShellState {
  Platform* platform;
  int squareSize;              // windowWidth / 8; in a maximized window, of the board that fits
  int boardLeft, boardTop;     // where the board starts on the canvas: 0, 0 but when maximized
  bool sizedByDesktop;         // the window was last maximized or full-screen
  bool placedWithFrame;        // the main window was checked against the screen, frame and all
  int storedWindowX, storedWindowY;  // as read, for window systems that keep positions to themselves
  Handle mainWindow;
  Handle boardCanvas;
  Handle squareImages[3];      // 1 light, 2 dark
  Handle pieceImages[15];      // by piece code; 7 and 8 have none
  Handle resultImages[4];      // 1 checkmate, 2 stalemate, 3 draw
  Handle optionsPicture;
  int clickCount;
  int selectedFrom, selectedTo;
  int pressSquare;             // the piece the left button went down on (0: none); a drag may carry it
  int pressX, pressY;          // where it went down, in canvas pixels
  bool carrying;               // the piece on pressSquare follows the pointer
  int carryX, carryY;          // the pointer while carrying
  int displayBoard[121];       // what DrawBoard shows; 22..99 written by RefreshBoard
  bool resumeComputerTurn;     // the kept game stopped at the computer's turn: it moves first
  bool quitRequested;          // the main window was closed or the session ends
  bool searchStopped;          // the computer's search was ended for that
  bool ended;                  // ShutDown has run
  int exitStatus;              // of the process: 1 after a failed start or save
  KeptGame keptGame;           // what start-up found in "korvin.kga", and what was written since
  bool keptGameFailureShown;   // the user was told the kept game cannot be written
  std::vector<std::string> keptGameNews;  // to be shown once back at the board
  WaitHandle startListener;    // where later starts in this folder ask (-1: nowhere)
  std::vector<std::string> pendingOpens;  // game files later starts asked to open
};

extern ShellState shell;

// The program's name and version as the Options dialog shows it.
constexpr const char* kInformationLine = "      Korvin 4.01";

// Clears the selection and the click counter together, and ends a drag.
void ClearSelection();

// Makes the board canvas the drawing target again after a dialog closed:
// target, input focus and alpha blending.
void RestoreBoardTarget();
