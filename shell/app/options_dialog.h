// The "Options" dialog, opened by a right click on the board, and loading a
// game file as its "Load Game" does.
#pragma once

#include <string>

// The "Options" dialog: New Game, Load Game, Save Game, Change Sides and the
// four levels.
void ShowOptions();

// Loads a game file (a Korvin game, or the first game of a PGN file) as
// "Load Game" does; a file that cannot be loaded is reported and the
// current game stays. True when it was loaded.
bool OpenGameFile(const std::string& path);
