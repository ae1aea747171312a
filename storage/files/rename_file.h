// Renaming a file in its folder: over whatever has the new name, never over
// anything, or two names swapped in one step.
#pragma once

#include <string>

#include "file_error.h"

// The operating system's part (rename_file_posix.cpp, rename_file_win32.cpp).
// A name that is a symbolic link is renamed itself, never what it points
// to. A failure is told through `format`, a text with %1 for the system's
// reason ("cannot rename: %1").

// Renames `from` to `to`, replacing the file `to` names, in one step: `to`
// never stops naming either the old file or the new one.
bool RenameReplacing(const std::string& from, const std::string& to, const char* format,
                     FileError& error);

// Renames `from` to `to` only while nothing has the name `to`: Exists when
// it is taken, NotFound when `from` does not exist. This must hold also
// where the file system cannot refuse a replacement by itself.
bool RenameWithoutReplacing(const std::string& from, const std::string& to, const char* format,
                            FileError& error);

// Swaps what the two names stand for, in one step. NotFound when either
// does not exist; Unsupported where the system or the file system cannot
// swap (then nothing has changed, and the caller takes another way).
bool ExchangeFiles(const std::string& a, const std::string& b, const char* format, FileError& error);
