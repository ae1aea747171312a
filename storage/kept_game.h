// The game the program keeps between runs, "korvin.kga". It is the user's
// property: a kept game that cannot be loaded is never overwritten or
// deleted, but moved aside under a name that keeps it.
#pragma once

#include <string>

constexpr const char* kKeptGamePath = "korvin.kga";

enum class KeptGameState {
  NotRead,     // not looked at yet (the exit must not touch the file)
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
};

// Loads the kept game at `path` (LoadGame). A missing or empty file leaves
// the current game as it is; one that cannot be loaded is moved aside at
// once (MoveFileAside), before anything could write over it.
KeptGame LoadKeptGame(const char* path);

// Moves a Stuck kept game aside again; true when the file at `path` may now
// be written over or removed.
bool RetryMovingAside(const char* path, KeptGame& kept);

// True when writing `path` at exit, or removing it for a game without moves,
// cannot lose a game the program did not read.
bool KeptGameMayBeReplaced(const KeptGame& kept);
