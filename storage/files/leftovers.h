// The temporaries that a write killed half-way leaves behind.
#pragma once

// Removes the temporary files that WriteFileAtomically(path) leaves behind
// when the process is killed during the write ("<path>.tmp" and six letters
// or digits, beside the file a link points to), unless a writer still holds
// them. Nothing else is touched. Returns the number removed.
int RemoveLeftoverTemporaries(const char* path);
