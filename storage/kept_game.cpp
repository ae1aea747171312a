#include "kept_game.h"

#include "game_file.h"
#include "read_file.h"
#include "set_aside.h"
#include "storage_error.h"
#include "texts.h"

namespace {

bool MoveAside(const char* path, KeptGame& kept) {
  if (MoveFileAside(path, kept.keptAs, kept.moveError)) {
    kept.state = KeptGameState::MovedAside;
    kept.known = FileIdentity{};
    kept.knownBytes.clear();
    return true;
  }
  kept.state = KeptGameState::Stuck;
  return false;
}

// True when the file at `path` is the one the program knows: the same file
// unchanged, or (a folder kept in step by a synchronising program rewrites
// files) another file with the very same bytes, which is then taken as the
// known one.
bool AdoptIfKnown(const char* path, KeptGame& kept) {
  const FileIdentity now = IdentifyFile(path);
  if (SameFile(now, kept.known)) return true;
  if (!now.exists || !kept.known.exists) return false;
  std::vector<unsigned char> bytes;
  std::string ignored;
  if (!ReadFileBytes(path, kMaxGameFileBytes + 1, bytes, ignored) || bytes != kept.knownBytes)
    return false;
  kept.known = now;
  return true;
}

}  // namespace

KeptGame LoadKeptGame(const char* path) {
  KeptGame kept{};
  std::vector<unsigned char> bytes;
  std::string error;
  if (!ReadFileBytes(path, kMaxGameFileBytes, bytes, error, &kept.known)) {
    if (error == Tr(kFileNotFound)) {
      kept.state = KeptGameState::Missing;
      kept.known = FileIdentity{};
      return kept;
    }
    kept.reason = error;
  } else if (bytes.empty()) {
    kept.state = KeptGameState::Empty;
    return kept;
  } else if (LoadGameBytes(bytes.data(), bytes.size())) {
    kept.state = KeptGameState::Loaded;
    kept.knownBytes = bytes;
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

KeptGameSave SaveKeptGame(const char* path, KeptGame& kept) {
  KeptGameSave result;
  if (kept.state == KeptGameState::NotRead) {
    result.error = Tr("the kept game was never read, so it is left as it is");
    return result;
  }
  if (!RetryMovingAside(path, kept)) {
    result.error = Fill(Tr("the game there could not be loaded, nor moved aside (%1)"), {kept.moveError});
    return result;
  }
  std::vector<unsigned char> bytes;
  GameToBytes(bytes);
  const bool known = AdoptIfKnown(path, kept);
  // The file already holds this very game (or, without moves, there is
  // none): nothing to write.
  if (known && bytes == kept.knownBytes && kept.known.exists == !bytes.empty()) {
    result.saved = true;
    return result;
  }
  if (!known) {
    std::string error;
    if (!MoveFileAside(path, result.foundKeptAs, error, "found")) {
      result.error = Fill(Tr("another file is there, which Korvin 4 did not write, and it could "
                             "not be moved aside (%1)"),
                          {error});
      return result;
    }
  }
  // A write that fails leaves the file as it was (or, after a move aside,
  // none), which is then what the program knows.
  if (!SaveGame(path)) {
    result.error = StorageError();
    if (!result.foundKeptAs.empty()) {
      kept.known = FileIdentity{};
      kept.knownBytes.clear();
    }
    return result;
  }
  kept.known = IdentifyFile(path);
  kept.knownBytes = bytes;
  result.saved = true;
  return result;
}
