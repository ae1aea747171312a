// The opening book file "korvin.bok": read from the disk here, checked and
// kept by the engine (book.h).
#pragma once

// Reads "korvin.bok" from the working directory into the book.
void LoadBook();

// The same for any path. A file that cannot be opened, or that is not a
// regular file, leaves the book empty (bookLoadReport says why).
void LoadBookFile(const char* path);
