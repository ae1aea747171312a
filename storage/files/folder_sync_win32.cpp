#include "folder_sync.h"

// On Windows a folder's entries cannot be flushed on their own: the renames
// of the file services ask for MOVEFILE_WRITE_THROUGH instead, which
// returns only once the new name is on the disk, and a deletion is made
// sure of by the file system's journal.
bool SyncFolder(const std::string&, const char*, FileError&) { return true; }
