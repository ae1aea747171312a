#include "storage_error.h"

namespace {
std::string lastError;
}

const char* StorageError() { return lastError.c_str(); }

bool SetStorageError(const std::string& reason) {
  lastError = reason;
  return false;
}

void ClearStorageError() { lastError.clear(); }
