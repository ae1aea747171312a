// The kept game "korvin.kga" is written as the game is played: after every
// change of the game record or of the board's orientation, so that a kill,
// a crash or a lost display loses at most the move being made.
#pragma once

#include <string>
#include <vector>

// What one write of the kept game means for the user.
struct KeptGameWrite {
  std::vector<std::string> found;  // a file found in the way was kept aside: the lines that say so
  std::string failure;             // why the write failed ("" when it did not); also logged
};

// Writes the kept game now (or removes it for a game without moves), but
// never over a file the program did not read or write (kept_game.h); one
// that was never read is left alone.
KeptGameWrite WriteKeptGame();

// Writes the kept game now, as the game goes on. A failure, and a file
// found in the way and moved aside, are noted for ShowKeptGameNews; a
// failure is noted once until a write succeeds again.
void KeepGameNow();

// Shows what KeepGameNow noted, in a message window, and forgets it. The
// main loop calls it once it is back at the board.
void ShowKeptGameNews();

// The lines that tell of a file found where the kept game was, and moved
// aside to `keptAs`.
std::vector<std::string> FoundFileLines(const std::string& keptAs);
