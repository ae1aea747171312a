#include "folder_sync.h"

#include "file_faults.h"
#include "file_identity.h"

bool FlushFolderOf(const std::string& path, const char* format, FileError& error) {
  if (!FileFaultPlanned(FileFault::FolderSyncFails)) return SyncFolder(FolderOf(path), format, error);
  error = SystemFailure(format, "Input/output error");
  return false;
}
