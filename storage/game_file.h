// The game file: seven bytes per half-move of the game record (origin,
// destination, captured piece, castling rights before the move, en passant
// square, promotion piece, orientation), no header. Loading replays the moves
// from the initial position, so the whole engine state is rebuilt as if they
// had been played.
#pragma once

#include <cstddef>
#include <vector>

// Replaces the current game with the one in `path` and leaves the position
// at its last move, with humanPlaysBlack taken from the file. A missing,
// unreadable or damaged file, one that is not a regular file and one longer
// than 999 records is refused: the function returns false, the
// reason is in StorageError(), and the game, the position and the
// orientation are exactly as they were. A file whose length is not a whole
// number of seven-byte moves is damaged and refused.
bool LoadGame(const char* path);

// The same from bytes already in memory (the file's whole contents).
bool LoadGameBytes(const unsigned char* data, size_t size);

// Writes the whole game record to `path` (atomically), or deletes `path`
// when the record holds no move. Returns false with the reason in
// StorageError() when the file could not be written or deleted.
bool SaveGame(const char* path);

// The bytes SaveGame writes for the current record (empty for no move).
void GameToBytes(std::vector<unsigned char>& bytes);

// Bytes per half-move in the file.
constexpr int kGameRecordBytes = 7;

// The longest file a game record can fill: 999 half-moves.
constexpr size_t kMaxGameFileBytes = 999 * kGameRecordBytes;
