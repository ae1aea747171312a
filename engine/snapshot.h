// Keeping the whole engine record aside and putting it back, for work that
// must leave the engine exactly as it found it: a replay of a book or a
// game, a load that may be refused. One copy is kept at a time.
#pragma once

// Keeps a copy of the engine record.
void KeepEngine();

// Puts the kept copy back. With `keepBook`, the opening book loaded since
// (bookBytes, bookLength) stays.
void RestoreEngine(bool keepBook = false);
