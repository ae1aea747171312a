// The kept game "korvin.kga" is written as the game is played: after every
// change of the game record or of the board's orientation, so that a kill,
// a crash or a lost display loses at most the move being made.
#pragma once

#include <string>
#include <vector>

// Writes the kept game now (or removes it for a game without moves). A
// failure, and a file found in the way and moved aside, are noted for
// ShowKeptGameNews; a failure is noted once until a write succeeds again.
void KeepGameNow();

// Shows what KeepGameNow noted, in a message window, and forgets it. The
// main loop calls it once it is back at the board.
void ShowKeptGameNews();

// The lines that tell of a file found where the kept game was, and moved
// aside to `keptAs`.
std::vector<std::string> FoundFileLines(const std::string& keptAs);
