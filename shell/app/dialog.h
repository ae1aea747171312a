// The program's dialogs: where one opens (over the main window, wholly on its
// screen) and the wait that runs while it is open. Every dialog is modal: its
// wait takes every event until it ends, and a request to end the program
// ends it at once.
#pragma once

#include <functional>
#include <string>

#include "platform.h"

// Opens a window of `width` x `height` centred over the main window (over the
// desktop while there is none) and moved wholly onto its screen, as a dialog
// of the main window. `centringHeight` is the height its centring assumes (the
// welcome dialog's is smaller than the window, so that it sits a little above
// the middle).
Handle OpenDialog(const std::string& title, int width, int height, WindowKind kind,
                  int centringHeight = 0);

enum class DialogEnd {
  Done,    // `handle` said the dialog has done its work
  Closed,  // its close button or Esc
  Quit,    // the program is asked to end (quitRequested is set)
};

// Waits for the dialog `window`'s events until it ends. Every event goes
// first to the requests from outside the program's windows (requests.h); a
// close request of `window` ends the wait when `closable`, else it is
// ignored; any other event goes to `handle`, which returns true when the
// dialog is done.
DialogEnd RunDialog(Handle window, bool closable, const std::function<bool(const Event&)>& handle);
