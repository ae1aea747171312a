// Playing by two clicks or by dragging a piece, the promotion choice, and
// stepping through the game record with the mouse wheel and the middle
// button.
#pragma once

// The square under canvas point (x, y), or 0 when the point lies outside
// the drawn board.
int SquareAtPoint(int x, int y);

// The left button went down at the pointer's position over the board
// canvas: a click that selects, cancels or completes a move, and perhaps
// the start of a drag.
void LeftPress();

// The pointer moved with the left button down: a drag carries the piece.
void PointerMoved();

// The left button came up: a carried piece is dropped.
void LeftRelease();

// The computer's turn, with the busy pointer while it thinks. When the game
// record is full afterwards, the user is told.
void ComputerTurn();

// The computer's turn in a kept game that stopped there (the program was
// killed while it thought): it moves unless the game is over or its record
// full (which the user is told).
void ResumeComputerTurn();

// Tells the user that the game record holds the most half-moves a game file
// can, so no move can be played in it, and what to do instead; nothing when
// the game is over anyway (no legal move) or the program is ending.
void TellRecordFull();

// Plays the selected pair when it is a legal move, asks for the promotion
// piece, announces draws and lets the computer answer. A legal move that
// the full record has no room for is refused with TellRecordFull.
void TryUserMove(int from, int to);

// The "Promotion" dialog; returns the White code of the chosen piece (2..5).
int AskPromotion();

// One wheel event: +1 steps one half-move back, -1 one forward.
void WheelTurn(int notches);

// The middle button: to the start of the game, or from the start to its end.
void MiddleClick();
