#include "kept_game.h"

#include <vector>

#include "atomic_file.h"
#include "game_file.h"
#include "storage_error.h"

namespace {

bool MoveAside(const char* path, KeptGame& kept) {
  if (MoveFileAside(path, kept.keptAs, kept.moveError)) {
    kept.state = KeptGameState::MovedAside;
    return true;
  }
  kept.state = KeptGameState::Stuck;
  return false;
}

}  // namespace

KeptGame LoadKeptGame(const char* path) {
  KeptGame kept{};
  std::vector<unsigned char> bytes;
  std::string error;
  if (!ReadFileBytes(path, kMaxGameFileBytes, bytes, error)) {
    if (error == kFileNotFound) {
      kept.state = KeptGameState::Missing;
      return kept;
    }
    kept.reason = error;
  } else if (bytes.empty()) {
    kept.state = KeptGameState::Empty;
    return kept;
  } else if (LoadGameBytes(bytes.data(), bytes.size())) {
    kept.state = KeptGameState::Loaded;
    return kept;
  } else {
    kept.reason = StorageError();
  }
  MoveAside(path, kept);
  return kept;
}

bool RetryMovingAside(const char* path, KeptGame& kept) {
  if (kept.state != KeptGameState::Stuck) return KeptGameMayBeReplaced(kept);
  return MoveAside(path, kept);
}

bool KeptGameMayBeReplaced(const KeptGame& kept) {
  return kept.state != KeptGameState::NotRead && kept.state != KeptGameState::Stuck;
}
