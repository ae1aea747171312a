// Looking at a wait handle (platform_types.h) without waiting, for a platform
// that has no event loop of its own to wait on it (the tests' stand-in).
#pragma once

#include "platform_types.h"

// True when the handle is ready now: a descriptor has something to read (or
// its other end is gone), a Windows handle is signalled.
bool WaitHandleReady(WaitHandle handle);
