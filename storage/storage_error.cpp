#include "storage_error.h"

namespace {

std::string lastError;
StorageFault lastFault = StorageFault::None;

StorageFault FaultOf(FileErrorKind kind) {
  switch (kind) {
    case FileErrorKind::None: return StorageFault::None;
    case FileErrorKind::NotFound:
    case FileErrorKind::NoName: return StorageFault::FileNotFound;
    case FileErrorKind::NotRegular:
    case FileErrorKind::TooLarge:
    case FileErrorKind::NoFolder:
    case FileErrorKind::LinkLoop: return StorageFault::FileRefused;
    case FileErrorKind::Exists:
    case FileErrorKind::Unsupported:
    case FileErrorKind::Busy:
    case FileErrorKind::System: return StorageFault::FileFailed;
  }
  return StorageFault::FileFailed;
}

}  // namespace

const char* StorageError() { return lastError.c_str(); }

StorageFault LastStorageFault() { return lastFault; }

bool SetStorageError(const FileError& error) {
  lastError = error.message;
  lastFault = FaultOf(error.kind);
  return false;
}

bool SetStorageError(const std::string& reason) {
  lastError = reason;
  lastFault = StorageFault::NotAccepted;
  return false;
}

void ClearStorageError() {
  lastError.clear();
  lastFault = StorageFault::None;
}
