#include "folder_sync.h"

#include "file_faults.h"
#include "file_identity.h"

bool FlushFolderOf(const std::string& path, const char* what, FileError& error) {
  if (!FileFaultPlanned(FileFault::FolderSyncFails)) return SyncFolder(FolderOf(path), what, error);
  error = SystemFailure(what, "Input/output error");
  return false;
}
