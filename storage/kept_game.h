// The game the program keeps between runs, "korvin.kga". It is the user's
// property: it is written after every change of the game, and the program
// never writes over or deletes a file there that it did not read or write
// itself. A kept game that cannot be loaded is moved aside under a name
// that keeps it, and so is a file that appeared there while the program ran.
#pragma once

#include <string>
#include <vector>

#include "file_identity.h"

constexpr const char* kKeptGamePath = "korvin.kga";

enum class KeptGameState {
  NotRead,     // not looked at yet (nothing may touch the file)
  Missing,     // no file: the start position
  Empty,       // an empty file: the start position
  Loaded,      // the game in the file is the current game
  MovedAside,  // it could not be loaded and now has another name
  Stuck,       // it could not be loaded, nor moved aside
};

struct KeptGame {
  KeptGameState state;
  std::string reason;     // why it could not be loaded
  std::string keptAs;     // its new name once moved aside
  std::string moveError;  // why it could not be moved aside
  // The file as the program last read or wrote it (none: exists is false),
  // and its bytes: a file found there that is neither is not the program's.
  FileIdentity known;
  std::vector<unsigned char> knownBytes;
  // The last write put the file in place, but its folder could not be
  // flushed: it may not survive a power cut, so the next save writes again.
  bool unconfirmed = false;
};

// Loads the kept game at `path` (LoadGame). A missing or empty file leaves
// the current game as it is; one that cannot be loaded is moved aside at
// once (MoveFileAside), before anything could write over it.
KeptGame LoadKeptGame(const char* path);

// Moves a Stuck kept game aside again; true when the file at `path` may now
// be written over or removed.
bool RetryMovingAside(const char* path, KeptGame& kept);

// True when writing `path`, or removing it for a game without moves, cannot
// lose a game the program did not read.
bool KeptGameMayBeReplaced(const KeptGame& kept);

// What became of one write of the kept game.
struct KeptGameSave {
  bool saved = false;      // the file now holds the current game (or, without moves, is gone)
  std::string error;       // why not
  std::string foundKeptAs; // a file the program had not written was found there and moved to this name
};

// Writes the current game to `path` (as SaveGame does: without moves the
// file is removed), but destroys only the file the program last read or
// wrote there. Whatever else had the name when the new file took it (copied
// in by the user, written by another program, even a moment before) is
// kept under a "found" name, which is reported. A file there that cannot
// be read to tell whose it is stops the save, and so does a kept game that
// was never read: nothing is touched then.
KeptGameSave SaveKeptGame(const char* path, KeptGame& kept);
