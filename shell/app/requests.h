// Requests that come from outside the program's windows' contents: the end
// of the session, a close request of the main window, and a later start of
// the program in the same folder. Every loop of the program (the main loop,
// each dialog's, the computer's event poll) hands its events here first.
#pragma once

#include "platform.h"

// The tag the hand-off channel's wait handle is watched with.
constexpr int kLaterStartTag = 1;

// True for a request to end the program: AppTerminate (the session ends, or
// SIGTERM, SIGINT, SIGHUP), or a close request of the main window.
bool IsQuitRequest(const Event& event);

// The same, and a request is remembered in quitRequested: every modal
// window ends at once, and the program then saves and ends.
bool TakeQuitRequest(const Event& event);

// What every loop of the program does with an event from outside its
// windows: a request to end the program is taken as TakeQuitRequest does
// (and true returned); a later start in this folder brings the main window
// to the front, and a game file it asks to open waits in pendingOpens for
// the main loop.
bool TakeOutsideRequest(const Event& event);
