// The engine's contacts with the program that runs it. The window program
// (or a tool) installs these and the engine calls them; each is null while
// nothing is installed, and the engine then goes on without.
#pragma once

// The results the computer's turn announces.
constexpr int kResultCheckmate = 1, kResultStalemate = 2, kResultDraw = 3;

// Called once at every full-width node of the search, to take one pending
// event (the window repaints and keeps its size while the computer thinks).
extern void (*searchPollHook)();

// Called after every iteration of iterative deepening (tools print lines).
extern void (*iterationHook)(int depth, int score);

// The computer's move was played: show the position with it as the last move.
extern void (*refreshBoardHook)(int lastFrom, int lastTo, int selected);

// The computer's move was played, recorded and shown (before a result is
// announced): the window program keeps the game then.
extern void (*movePlayedHook)();

// A result to announce: kResultCheckmate, kResultStalemate or kResultDraw.
extern void (*showResultHook)(int kind);
