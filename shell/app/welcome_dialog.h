// The welcome dialog of the first runs.
#pragma once

// Shows the welcome text over the main window; its check box sets
// hideWelcome. Ends on "OK", its close button or the end of the session.
void ShowWelcome();
