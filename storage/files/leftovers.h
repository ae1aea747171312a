// The temporaries that a write killed half-way leaves behind.
#pragma once

#include <string>
#include <vector>

// Removes the temporary files that WriteFileAtomically(path) leaves behind
// when the process is killed during the write ("<path>.tmp" and six letters
// or digits, beside the file a link points to), unless a writer still holds
// them. Nothing else is touched. Returns the number removed.
int RemoveLeftoverTemporaries(const char* path);

// The operating system's part (leftovers_posix.cpp, leftovers_win32.cpp).

// The names in `folder`, without "." and ".."; none when it cannot be read.
std::vector<std::string> NamesInFolder(const std::string& folder);

// Removes `name` from `folder` when it is a regular file, not a link, that
// no writer holds (LockTemporary); true when it was removed.
bool RemoveUnheldFile(const std::string& folder, const std::string& name);
