// Taking a file out of the way: deleting it, or moving it aside under a name
// that keeps it.
#pragma once

#include <string>

// Deletes the regular file `path` names; a file that does not exist is no
// error, anything but a regular file is refused. Through a symbolic link
// the file it points to is deleted and the link stays, so a dangling link
// is never removed.
bool RemoveFileIfPresent(const char* path, std::string& error);

// Renames the file `path` names to "<name>.<label>-YYYYMMDD-HHMMSS" (local
// time; "-2", "-3", ... appended when that name is taken) in its own folder,
// never replacing another file. Through a symbolic link to a regular file
// that file is renamed and the link stays (a link to anything else is
// renamed itself). On success `keptAs` holds the new name.
bool MoveFileAside(const char* path, std::string& keptAs, std::string& error,
                   const char* label = "damaged");
