#include "kept_game.h"

#include "displace.h"
#include "game_file.h"
#include "read_file.h"
#include "set_aside.h"
#include "storage_error.h"
#include "texts.h"

namespace {

bool MoveAside(const char* path, KeptGame& kept) {
  FileError error;
  if (MoveFileAside(path, kept.keptAs, error)) {
    kept.state = KeptGameState::MovedAside;
    kept.known = FileIdentity{};
    kept.knownBytes.clear();
    return true;
  }
  kept.moveError = error.message;
  kept.state = KeptGameState::Stuck;
  return false;
}

// Whose the file at `path` is.
enum class Kinship { Own, Foreign, CannotTell };

// Own when it is the file the program last read or wrote (or none, when the
// program knows of none), or (a folder kept in step by a synchronising
// program rewrites files) another file with the very same bytes; `seen`
// receives it. CannotTell, with the reason, when it could not be read.
Kinship KinshipOf(const char* path, const KeptGame& kept, FileIdentity& seen, FileError& error) {
  seen = IdentifyFile(path);
  if (SameFile(seen, kept.known)) return Kinship::Own;
  if (!seen.exists || !kept.known.exists) return Kinship::Foreign;
  std::vector<unsigned char> bytes;
  if (!ReadFileBytes(path, kMaxGameFileBytes, bytes, error, &seen)) {
    // A folder, a pipe or a file too large for a game is no game of the
    // program's; a file that has gone is nothing to keep.
    const FileErrorKind kind = error.kind;
    const bool unlike = kind == FileErrorKind::NotRegular || kind == FileErrorKind::TooLarge ||
                        kind == FileErrorKind::NotFound;
    return unlike ? Kinship::Foreign : Kinship::CannotTell;
  }
  return bytes == kept.knownBytes ? Kinship::Own : Kinship::Foreign;
}

// A file the program's write displaced is kept unless it is the program's
// own; so is one that could not be read, and a link that leads nowhere.
bool MustKeep(const std::string& displaced, const KeptGame& kept) {
  if (!IdentifyFile(displaced.c_str()).exists) return IdentifyName(displaced.c_str()).exists;
  FileIdentity seen;
  FileError unread;
  return KinshipOf(displaced.c_str(), kept, seen, unread) != Kinship::Own;
}

}  // namespace

KeptGame LoadKeptGame(const char* path) {
  KeptGame kept{};
  std::vector<unsigned char> bytes;
  FileError error;
  if (!ReadFileBytes(path, kMaxGameFileBytes, bytes, error, &kept.known)) {
    if (error.kind == FileErrorKind::NotFound) {
      kept.state = KeptGameState::Missing;
      kept.known = FileIdentity{};
      return kept;
    }
    kept.reason = error.message;
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

// The check before the write only spares a write that would change nothing;
// what the write displaces is checked again, after it, so that a file put
// there in between is kept as well.
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
  FileIdentity seen;
  FileError error;
  const Kinship there = KinshipOf(path, kept, seen, error);
  if (there == Kinship::CannotTell) {
    result.error =
        Fill(Tr("the file there could not be read to tell whether Korvin 4 wrote it (%1)"), {error.message});
    return result;
  }
  if (there == Kinship::Own) kept.known = seen;
  // The file already holds this very game (or, without moves, there is
  // none): nothing to write.
  if (there == Kinship::Own && !kept.unconfirmed && bytes == kept.knownBytes &&
      kept.known.exists == !bytes.empty()) {
    result.saved = true;
    return result;
  }
  const KeepDisplaced keep = [&kept](const std::string& displaced) { return MustKeep(displaced, kept); };
  Displacement write;
  const bool written =
      bytes.empty() ? RemoveFileDisplacing(path, "found", keep, write, error)
                    : WriteFileDisplacing(path, bytes.data(), bytes.size(), "found", keep, write, error);
  result.foundKeptAs = write.keptAs;
  if (write.done) {
    kept.known = bytes.empty() ? FileIdentity{} : write.written;
    kept.knownBytes = bytes;
    kept.unconfirmed = !written;
  }
  if (!written) {
    result.error = error.message;
    return result;
  }
  result.saved = true;
  return result;
}
