// Taking a file out of the way: deleting it, or moving it aside under a name
// that keeps it.
#pragma once

#include <string>

#include "file_error.h"

// Deletes the regular file `path` names; a file that does not exist is no
// error, anything but a regular file is refused. Through a symbolic link
// the file it points to is deleted and the link stays, so a dangling link
// is never removed. A deletion the folder's flush could not make sure of
// is a failure too.
bool RemoveFileIfPresent(const char* path, FileError& error);

// Renames the file `path` names to "<name>.<label>-YYYYMMDD-HHMMSS" (local
// time; "-2", "-3", ... appended when that name is taken) in its own folder,
// never replacing another file. Through a symbolic link to a regular file
// that file is renamed and the link stays (a link to anything else is
// renamed itself). On success `keptAs` holds the new name.
bool MoveFileAside(const char* path, std::string& keptAs, FileError& error,
                   const char* label = "damaged");

// What moving `path` aside renames: the file its links finally lead to when
// that is a regular file or nothing at all (a dangling link), else (a link
// to a device, a pipe or a folder, a loop of links) the name itself.
std::string NameToSetAside(const char* path);

// Renames `from` to the first free name "<beside>.<label>-YYYYMMDD-HHMMSS"
// (as MoveFileAside names it), never replacing another file. NotFound when
// `from` does not exist; a failure is told through `format` ("cannot
// rename: %1").
bool RenameAside(const std::string& from, const std::string& beside, const char* label,
                 const char* format, std::string& keptAs, FileError& error);

// The operating system's part (set_aside_posix.cpp, set_aside_win32.cpp).

// Removes the name `path`, a symbolic link itself and not what it points to:
// NotFound when nothing has that name, else "cannot delete: <reason>".
bool RemoveName(const std::string& path, FileError& error);
