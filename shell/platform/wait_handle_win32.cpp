#include "wait_handle.h"

#include <windows.h>

bool WaitHandleReady(WaitHandle handle) {
  if (handle == 0 || handle == -1) return false;
  return WaitForSingleObject(reinterpret_cast<HANDLE>(handle), 0) == WAIT_OBJECT_0;
}
